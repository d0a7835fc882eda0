#include <windows.h>

#include <string>

#include "gpu/cnvgf.h"
#include "gpu/nvapiclient.h"
#include "simdriver.h"

class GpuObjectStart : public SimDriverTest {};

TEST_F(GpuObjectStart, ReadsInterfaceVersionAndLooksUpTheFourFunctions)
{
    WriteScenario("[driver]\nInterfaceVersion=Test Interface 2.5\n");
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    EXPECT_STREQ("Test Interface 2.5", gpu.InterfaceVersion());
    EXPECT_NE(nullptr, gpu.Module());
    EXPECT_NE(nullptr, gpu.QueryFunction());
    EXPECT_NE(nullptr, gpu.DynamicPstatesFunction());
    EXPECT_NE(nullptr, gpu.UsageTableFunction());
    EXPECT_NE(nullptr, gpu.MemoryInfoFunction());
    EXPECT_NE(nullptr, gpu.CoolerFunction());
    EXPECT_EQ(1u, JournalLines("NvAPI_Initialize").size());
}

TEST_F(GpuObjectStart, FunctionsNotOfferedStayNullAndTheirCallsFail)
{
    WriteScenario("[driver]\nHidden=NvAPI_GPU_GetDynamicPstatesInfoEx, 0x189A1FDF,NvAPI_GetDisplayDriverMemoryInfo,"
                  "0xDA141340\n");
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    ASSERT_TRUE(gpu.SelectGpu(0, 0));
    EXPECT_EQ(nullptr, gpu.DynamicPstatesFunction());
    EXPECT_EQ(nullptr, gpu.UsageTableFunction());
    EXPECT_EQ(nullptr, gpu.MemoryInfoFunction());
    EXPECT_EQ(nullptr, gpu.CoolerFunction());

    NV_DYNAMIC_PSTATES pstates = NvRecord<NV_DYNAMIC_PSTATES>(NV_DYNAMIC_PSTATES_VER);
    NV_USAGE_TABLE usages = NvRecord<NV_USAGE_TABLE>(NV_USAGE_TABLE_VER);
    NV_MEMORY_INFO memory = NvRecord<NV_MEMORY_INFO>(NV_MEMORY_INFO_VER);
    NV_COOLER_SETTINGS coolers = NvRecord<NV_COOLER_SETTINGS>(NV_COOLER_SETTINGS_VER);
    EXPECT_EQ(NVAPI_NO_IMPLEMENTATION, gpu.GetDynamicPstatesInfoEx(&pstates));
    EXPECT_EQ(NVAPI_NO_IMPLEMENTATION, gpu.GetUsages(&usages));
    EXPECT_EQ(NVAPI_NO_IMPLEMENTATION, gpu.GetMemoryInfo(&memory));
    EXPECT_EQ(NVAPI_NO_IMPLEMENTATION, gpu.GetCoolerSettings(0, &coolers));
}

TEST_F(GpuObjectStart, ADocumentedFunctionNotOfferedFailsItsCall)
{
    WriteScenario("[driver]\nHidden=NvAPI_GPU_GetTachReading\n");
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    ASSERT_TRUE(gpu.SelectGpu(0, 0));
    NvU32 rpm = 1234;
    EXPECT_EQ(NVAPI_NO_IMPLEMENTATION, NvAPI_GPU_GetTachReading(gpu.Gpu(), &rpm));
    EXPECT_EQ(1234u, rpm);
}

TEST_F(GpuObjectStart, FailsWhenTheDriverRefusesToStartAndHoldsNothing)
{
    WriteScenario("[fail]\nNvAPI_Initialize=always\n");
    CNVGF gpu;
    EXPECT_FALSE(gpu.Initialize());
    EXPECT_EQ(nullptr, gpu.Module());
    EXPECT_EQ(nullptr, gpu.QueryFunction());
    EXPECT_EQ(nullptr, GetModuleHandleA("NVAPI64.DLL"));
    EXPECT_FALSE(gpu.SelectGpu(0, 0));
}

TEST_F(GpuObjectStart, FailsWithoutADriverLibrary)
{
    ASSERT_TRUE(DeleteFileA(dir.File("nvapi64.dll").c_str()));
    CNVGF gpu;
    EXPECT_FALSE(gpu.Initialize());
    EXPECT_EQ(nullptr, gpu.DynamicPstatesFunction());
    NvDisplayHandle display = nullptr;
    EXPECT_NE(NVAPI_OK, NvAPI_EnumNvidiaDisplayHandle(0, &display));
}

TEST_F(GpuObjectStart, FailsWithALibraryThatLacksTheQueryExport)
{
    ASSERT_TRUE(CopyFileA(testenv::PathFromEnvironment("VARNOK_NOQUERY_DLL").c_str(), dir.File("nvapi64.dll").c_str(),
                          FALSE));
    CNVGF gpu;
    EXPECT_FALSE(gpu.Initialize());
    EXPECT_EQ(nullptr, gpu.QueryFunction());
    EXPECT_FALSE(gpu.SelectGpu(0, 0));
    EXPECT_EQ(nullptr, GetModuleHandleA("NVAPI64.DLL"));
}

TEST_F(GpuObjectStart, FailsWhenTheInterfaceVersionCannotBeRead)
{
    WriteScenario("[fail]\nNvAPI_GetInterfaceVersionString=1\n");
    CNVGF gpu;
    EXPECT_FALSE(gpu.Initialize());
    EXPECT_STREQ("", gpu.InterfaceVersion());
}

class GpuObjectRelease : public SimDriverTest {};

// The library is loaded twice (client layer and the object's own lookup); the destructor must
// give back exactly what the object took. The test holds one more reference of its own: a
// second free by the object would take that one away.
TEST_F(GpuObjectRelease, DestructorFreesTheModuleOnce)
{
    HMODULE own = LoadLibraryA("NVAPI64.DLL");
    ASSERT_NE(nullptr, own);
    {
        CNVGF gpu;
        ASSERT_TRUE(gpu.Initialize());
        ASSERT_TRUE(gpu.SelectGpu(0, 0));
    }
    EXPECT_EQ(own, GetModuleHandleA("NVAPI64.DLL"));
    EXPECT_FALSE(NvAPI_IsLoaded());
    FreeLibrary(own);
    EXPECT_EQ(nullptr, GetModuleHandleA("NVAPI64.DLL"));
}

TEST_F(GpuObjectRelease, SecondInitializeGivesBackTheFirst)
{
    {
        CNVGF gpu;
        ASSERT_TRUE(gpu.Initialize());
        ASSERT_TRUE(gpu.Initialize());
        EXPECT_NE(nullptr, gpu.CoolerFunction());
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("NVAPI64.DLL"));
}

TEST_F(GpuObjectRelease, ObjectThatFailedHalfwayLeavesNothingLoaded)
{
    WriteScenario("[fail]\nNvAPI_GetInterfaceVersionString=always\n");
    {
        CNVGF gpu;
        EXPECT_FALSE(gpu.Initialize());
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("NVAPI64.DLL"));
}

class GpuSelection : public SimDriverTest {
protected:
    const std::string twoGpus = "[driver]\nVersion=34709\nBranch=r347_07\n[display0]\nGpus=2\nAdapter=Adapter Text\n"
                                "[display0.gpu0]\nFullName=First GPU\n[display0.gpu1]\nFullName=Second GPU\n";
};

TEST_F(GpuSelection, GpuIndexEqualToTheCountFails)
{
    WriteScenario(twoGpus);
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    EXPECT_FALSE(gpu.SelectGpu(0, 2));
    EXPECT_EQ(nullptr, gpu.Gpu());
    EXPECT_TRUE(gpu.SelectGpu(0, 1));
    EXPECT_EQ(2u, gpu.GpuCount());
    EXPECT_EQ(1u, gpu.GpuIndex());
    EXPECT_STREQ("Second GPU", gpu.FullName());
    EXPECT_NE(nullptr, gpu.Gpu());
}

TEST_F(GpuSelection, DisplayIndexBeyondTheDisplaysFails)
{
    WriteScenario(twoGpus);
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    EXPECT_FALSE(gpu.SelectGpu(1, 0));
    EXPECT_EQ(nullptr, gpu.Display());
    ASSERT_EQ(1u, JournalLines("NvAPI_EnumNvidiaDisplayHandle").size());
    EXPECT_EQ("NvAPI_EnumNvidiaDisplayHandle index=1 -> -7", JournalLines("NvAPI_EnumNvidiaDisplayHandle")[0]);
}

TEST_F(GpuSelection, DriverVersionTextIsNotPadded)
{
    WriteScenario(twoGpus);
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    ASSERT_TRUE(gpu.SelectGpu(0, 0));
    EXPECT_STREQ("347.9", gpu.DriverVersion());
    EXPECT_STREQ("r347_07", gpu.DriverBranch());
    EXPECT_STREQ("First GPU", gpu.FullName());
    ASSERT_EQ(1u, JournalLines("NvAPI_GetDisplayDriverVersion").size());
    EXPECT_EQ("NvAPI_GetDisplayDriverVersion display=0 version=0x1008C -> 0",
              JournalLines("NvAPI_GetDisplayDriverVersion")[0]);
}

TEST_F(GpuSelection, FailingFullNameFailsTheSelection)
{
    WriteScenario("[fail]\nNvAPI_GPU_GetFullName=1\n");
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    EXPECT_FALSE(gpu.SelectGpu(0, 0));
    EXPECT_EQ(nullptr, gpu.Gpu());
    EXPECT_TRUE(gpu.SelectGpu(0, 0));
    EXPECT_NE(nullptr, gpu.Gpu());
}

TEST_F(GpuSelection, NotImplementedAdapterTextIsKeptAndTheNameNotAsked)
{
    WriteScenario("[display0]\nAdapter=Not Implemented YET\n");
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    ASSERT_TRUE(gpu.SelectGpu(0, 0));
    EXPECT_STREQ("Not Implemented YET", gpu.FullName());
    EXPECT_TRUE(JournalLines("NvAPI_GPU_GetFullName").empty()) << Journal();
}

TEST_F(GpuSelection, OtherAdapterTextIsReplacedByTheGpuName)
{
    WriteScenario("[display0]\nAdapter=not implemented\n[display0.gpu0]\nFullName=The GPU\n");
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    ASSERT_TRUE(gpu.SelectGpu(0, 0));
    EXPECT_STREQ("The GPU", gpu.FullName());
    EXPECT_EQ(1u, JournalLines("NvAPI_GPU_GetFullName gpu=0.0").size());
}

// A driver claiming more GPUs than the 64-entry handle array must not make an index past the
// array selectable.
TEST_F(GpuSelection, CountBeyondTheHandleArrayIsCut)
{
    WriteScenario("[display0]\nGpus=1\nReportedGpus=100\n");
    CNVGF gpu;
    ASSERT_TRUE(gpu.Initialize());
    EXPECT_FALSE(gpu.SelectGpu(0, 70));
    EXPECT_EQ(64u, gpu.GpuCount());
}
