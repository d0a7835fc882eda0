#include <windows.h>

#include <cstring>
#include <string>

#include "config/config.h"
#include "gpu/cnvgf.h"
#include "gpu/gpuinfo.h"
#include "gpu/sensortext.h"
#include "simdriver.h"

class ProbeGpuTest : public SimDriverTest {
protected:
    // Starts the driver and probes; the object is the test's, so it is gone before TearDown.
    bool Probe(CNVGF& gpu)
    {
        memset(sensorText, 0x7F, sizeof sensorText);
        gpu.Initialize();
        return ProbeGpu(gpu, sensorText, SENSORTEXT_SIZE);
    }

    char sensorText[SENSORTEXT_SIZE + 64];
};

TEST_F(ProbeGpuTest, TwoSensorsGiveTwoLines)
{
    WriteScenario("[display0.gpu0]\nSensors=2\nSensor0=1,1\nSensor1=2,8\n");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_STREQ("#0: GPU - GPU INTERNAL\n#1: BORAD - ADM1032", sensorText);
    ASSERT_EQ(1u, JournalLines("NvAPI_GPU_GetThermalSettings").size());
    EXPECT_EQ("NvAPI_GPU_GetThermalSettings gpu=0.0 sensor=15 version=0x10044 -> 0",
              JournalLines("NvAPI_GPU_GetThermalSettings")[0]);
}

TEST_F(ProbeGpuTest, IdentityComesFromTheSelectedGpu)
{
    WriteScenario("[driver]\nVersion=34709\nBranch=r347_07\nDisplays=2\n[display1]\nGpus=2\n"
                  "[display1.gpu1]\nFullName=Watched\nBios=80.04.5B.00.12\nFrameBuffer=1048576\nAgpAperture=262144\n");
    Config.Global.Device = 1;
    Config.Global.GPU = 1;
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_STREQ("Watched", GpuInfo.FullName);
    EXPECT_STREQ("80.04.5B.00.12", GpuInfo.BiosVersion);
    EXPECT_STREQ("347.9", GpuInfo.DriverVersion);
    EXPECT_STREQ("r347_07", GpuInfo.DriverBranch);
    EXPECT_EQ(1024u, GpuInfo.Memory);
    EXPECT_EQ(256u, GpuInfo.Aperture);
    EXPECT_EQ(1u, JournalLines("NvAPI_GPU_GetFullName gpu=1.1").size()) << Journal();
}

TEST_F(ProbeGpuTest, FailedReadsLeaveEmptyTextsAndZeros)
{
    WriteScenario("[fail]\nNvAPI_GPU_GetVbiosVersionString=always\nNvAPI_GPU_GetBusType=always\n"
                  "NvAPI_GPU_GetAGPAperture=always\nNvAPI_GPU_GetPhysicalFrameBufferSize=always\n");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_STREQ("", GpuInfo.BiosVersion);
    EXPECT_STREQ("", GpuInfo.BusName);
    EXPECT_EQ(0u, GpuInfo.BusType);
    EXPECT_EQ(0u, GpuInfo.Aperture);
    EXPECT_EQ(0u, GpuInfo.Memory);
}

TEST_F(ProbeGpuTest, BusNames)
{
    const struct {
        const char* busType;
        const char* name;
    } cases[] = {{"0", "?"}, {"1", "PCI"}, {"2", "AGP"}, {"3", "PCI-E"}, {"4", "FPCI"}, {"5", ""}, {"-1", ""}};
    for (const auto& c : cases) {
        WriteScenario(std::string("[display0.gpu0]\nBusType=") + c.busType + "\n");
        CNVGF gpu;
        ASSERT_TRUE(Probe(gpu));
        EXPECT_STREQ(c.name, GpuInfo.BusName) << "bus type " << c.busType;
    }
}

TEST_F(ProbeGpuTest, AgpRateZeroIsReplacedByTheLaneCount)
{
    WriteScenario("[display0.gpu0]\nAgpRate=0\nPcieWidth=16\n");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_EQ(16u, GpuInfo.BusRate);
}

TEST_F(ProbeGpuTest, NonZeroAgpRateIsKeptAndLanesNotAsked)
{
    WriteScenario("[display0.gpu0]\nBusType=2\nAgpRate=8\nPcieWidth=16\n");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_EQ(8u, GpuInfo.BusRate);
    EXPECT_TRUE(JournalLines("NvAPI_GPU_GetCurrentPCIEDownstreamWidth").empty());
}

TEST_F(ProbeGpuTest, FailingAgpRateLeavesRateZeroAndLanesNotAsked)
{
    WriteScenario("[display0.gpu0]\nPcieWidth=16\n[fail]\nNvAPI_GPU_GetCurrentAGPRate=always\n");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_EQ(0u, GpuInfo.BusRate);
    EXPECT_EQ(1u, JournalLines("NvAPI_GPU_GetCurrentAGPRate").size());
    EXPECT_TRUE(JournalLines("NvAPI_GPU_GetCurrentPCIEDownstreamWidth").empty());
}

TEST_F(ProbeGpuTest, FailedSelectionFailsWithoutDemonstrationMode)
{
    Config.Global.GPU = 1;
    CNVGF gpu;
    EXPECT_FALSE(Probe(gpu));
    EXPECT_STREQ("", sensorText);
}

TEST_F(ProbeGpuTest, FailedSelectionInDemonstrationModeSucceedsWithItsText)
{
    Config.Global.GPU = 1;
    Config.Global.Dummy = 1;
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_STREQ("ダミーモードが有効です", sensorText);
    EXPECT_STREQ("", GpuInfo.FullName);
    EXPECT_STREQ("", GpuInfo.BusName);
    EXPECT_EQ(0u, GpuInfo.Memory);
    EXPECT_TRUE(JournalLines("NvAPI_GPU_GetThermalSettings").empty());
}

TEST_F(ProbeGpuTest, DemonstrationModeWithoutAnyDriverSucceeds)
{
    ASSERT_TRUE(DeleteFileA(dir.File("nvapi64.dll").c_str()));
    Config.Global.Dummy = 1;
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_STREQ("ダミーモードが有効です", sensorText);
    EXPECT_EQ(nullptr, gpu.Gpu());
}

TEST_F(ProbeGpuTest, ThermalFailureFailsEvenInDemonstrationMode)
{
    WriteScenario("[fail]\nNvAPI_GPU_GetThermalSettings=always\n");
    Config.Global.Dummy = 1;
    CNVGF gpu;
    EXPECT_FALSE(Probe(gpu));
}

TEST_F(ProbeGpuTest, HostileTooltipFormatFallsBackToTheDefault)
{
    WriteScenario("[display0.gpu0]\nSensors=1\nSensor0=1,1\n");
    snprintf(Config.Tooltip.Format, sizeof Config.Tooltip.Format, "%s", "%s%s%n");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_STREQ("#0: GPU - GPU INTERNAL", sensorText);
}

// A wide field makes each line more than half the text: the second line is left out whole,
// and nothing is written past the text's 384 bytes.
TEST_F(ProbeGpuTest, LinesThatDoNotFitAreLeftOutWhole)
{
    WriteScenario("[display0.gpu0]\nSensors=3\n");
    snprintf(Config.Tooltip.Format, sizeof Config.Tooltip.Format, "%s", "%200d%s%s");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_EQ(200u + strlen("GPU") + strlen("GPU INTERNAL"), strlen(sensorText));
    EXPECT_EQ(nullptr, strchr(sensorText, '\n'));
    for (size_t i = SENSORTEXT_SIZE; i < sizeof sensorText; ++i)
        ASSERT_EQ(0x7F, sensorText[i]) << "byte " << i;
}

TEST_F(ProbeGpuTest, ASingleLineTooLongForTheTextGivesAnEmptyText)
{
    snprintf(Config.Tooltip.Format, sizeof Config.Tooltip.Format, "%s", "%255d%255s%255s");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_STREQ("", sensorText);
}

// The record holds three sensors; a count above that must not make the probe read past it.
TEST_F(ProbeGpuTest, SensorCountBeyondTheRecordIsCut)
{
    WriteScenario("[display0.gpu0]\nSensors=3\nReportedSensors=200\n");
    CNVGF gpu;
    ASSERT_TRUE(Probe(gpu));
    EXPECT_STREQ("#0: GPU - GPU INTERNAL\n#1: BORAD - ADM1032\n#2: MEMROY - GPU INTERNAL", sensorText);
}
