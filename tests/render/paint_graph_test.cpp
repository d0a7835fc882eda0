// The history graph as drawn into the back buffer of a panel made from template 200.
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "config/config.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "render/hover.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "support/formatrace.h"
#include "support/panelfixture.h"

using namespace painttest;

namespace {

class GraphPaint : public PanelTest {
protected:
    int L() const { return PanelRes.graphX; }
    int T() const { return PanelRes.graphY; }
    int W() const { return PanelRes.graphW; }
    int H() const { return PanelRes.graphH; }
    RECT Graph() const { return {L(), T(), L() + W(), T() + H() + 1}; }

    // Rows in which the grid colour covers at least a quarter of the graph's width.
    std::vector<int> GridRows() const
    {
        std::vector<int> rows;
        for (int y = T() - 3; y <= T() + H() + 3; ++y) {
            RECT row = {L(), y, L() + W(), y + 1};
            if (CountColour(row, GRID_COLOUR) > W() / 4)
                rows.push_back(y);
        }
        return rows;
    }

    // Scale-label colours in the band of rows around a grid line, shadow included.
    int LabelPixelsAround(int row) const
    {
        RECT band = {L(), row - 5, L() + W(), row + 6};
        return CountColour(band, UNIT_COLOUR) + CountColour(band, UNIT_SHADOW);
    }

    void FillHistory(unsigned int count)
    {
        Sample.HistoryCount = count;
        for (unsigned int i = 0; i < count; ++i) {
            HISTORYENTRY& entry = Sample.History[i];
            entry.CoreTemp = 40 + i % 40;
            entry.AmbientTemp = 30 + i % 20;
            entry.ClockCore = 500.0 + i;
            entry.ClockMemory = 1000.0 + i;
            entry.ClockShader = 700.0 + i;
            entry.UsageCore = i % 101;
            entry.UsageMemory = (i * 3) % 101;
            entry.UsageVideo = (i * 7) % 101;
            entry.FanLevel = 20 + i % 60;
        }
    }

    void EnableTrace(int trace)
    {
        Theme.Trace[trace].Enable = 1;
        Rebuild();
    }

    // Pixels of a trace's colour: inside the graph area and anywhere in the frame.
    int TracePixels(int trace, const RECT& area) const { return CountColour(area, TraceColour(trace)); }
    int TracePixelsAnywhere(int trace) const { return TracePixels(trace, PanelRes.clientRect); }
};

TEST_F(GraphPaint, Limit160DrawsSixteenLinesFromTheBottomEdgeAndNoneOnTheTop)
{
    Theme.Grid.Enable = 1;
    Compose();
    std::vector<int> rows = GridRows();
    ASSERT_EQ(16u, rows.size());
    EXPECT_EQ(T() + H(), rows.back());
    EXPECT_GT(rows.front(), T());
    const double interval = H() / 16.0;
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_GE(rows[i] - rows[i - 1], static_cast<int>(interval)) << "line " << i;
        EXPECT_LE(rows[i] - rows[i - 1], static_cast<int>(interval) + 1) << "line " << i;
    }
}

TEST_F(GraphPaint, Limit155SpacesTheGridAs150Does)
{
    Theme.Grid.Enable = 1;
    Config.Global.Limit = 150;
    Compose();
    const std::vector<int> rows150 = GridRows();
    Config.Global.Limit = 155;
    Compose();
    const std::vector<int> rows155 = GridRows();
    EXPECT_EQ(rows150, rows155);
    ASSERT_EQ(15u, rows155.size());
    EXPECT_NEAR(H() / 15.0, rows155[1] - rows155[0], 1.0);
}

TEST_F(GraphPaint, ScaleLabelsRunFrom10To150WithTheirShadow)
{
    Theme.Unit.Enable = 1;
    Compose();
    const double interval = H() / 16.0;
    for (int line = 0; line <= 16; ++line) {
        const int row = T() + H() - static_cast<int>(std::lround(line * interval));
        const RECT band = {L(), row - 5, L() + W(), row + 6};
        if (line == 0 || line == 16) {
            EXPECT_EQ(0, LabelPixelsAround(row)) << "a label at " << line * 10;
        } else {
            EXPECT_GT(CountColour(band, UNIT_COLOUR), 0) << "no label at " << line * 10;
            EXPECT_GT(CountColour(band, UNIT_SHADOW), 0) << "no shadow at " << line * 10;
        }
    }
}

TEST_F(GraphPaint, ScaleLabelsStartAtTheirOffset)
{
    Theme.Unit.Enable = 1;
    Theme.Unit.Offset = 100;
    Compose();
    RECT beforeOffset = {L(), T(), L() + 100, T() + H()};
    RECT afterOffset = {L() + 100, T(), L() + W(), T() + H()};
    EXPECT_EQ(0, CountColour(beforeOffset, UNIT_COLOUR));
    EXPECT_GT(CountColour(afterOffset, UNIT_COLOUR), 0);
}

// A format that does not fit one integer must not reach the formatting: the default is used.
TEST_F(GraphPaint, HostileScaleFormatFallsBackToTheDefault)
{
    Theme.Unit.Enable = 1;
    Compose();
    const std::string normal = Frame();
    for (const char* hostile : {"%s", "%n%d", "%d %d", "%*d", "%999999d", "%lld", "%"}) {
        snprintf(Theme.Unit.Format, sizeof Theme.Unit.Format, "%s", hostile);
        Compose();
        EXPECT_TRUE(normal == Frame()) << hostile;
    }
}

// A theme reload may store a new scale format while a measurement worker paints.
TEST_F(GraphPaint, ScaleFormatStoredWhileInUseIsNeverUsedUnchecked)
{
    Theme.Unit.Enable = 1;
    testenv::RaceFormatRewrites(Theme.Unit.Format, sizeof Theme.Unit.Format, "%3d", "%3s", 400, [&] { Compose(); });
}

TEST_F(GraphPaint, EmptyHistoryDrawsNoTraceAndNoCursorLine)
{
    for (int trace = 0; trace < TRACE_COUNT; ++trace)
        Theme.Trace[trace].Enable = 1;
    Rebuild();
    HoverPosition = {L() + 50, T() + 50};
    Compose();
    for (int trace = 0; trace < TRACE_COUNT; ++trace)
        EXPECT_EQ(0, TracePixelsAnywhere(trace)) << trace;
    EXPECT_EQ(0, CountColour(Graph(), GRID_COLOUR));
}

TEST_F(GraphPaint, OneSampleDrawsNoTraceTwoSamplesDo)
{
    EnableTrace(TRACE_CORE_TEMP);
    FillHistory(1);
    Compose();
    EXPECT_EQ(0, TracePixelsAnywhere(TRACE_CORE_TEMP));
    FillHistory(2);
    Compose();
    EXPECT_GT(TracePixels(TRACE_CORE_TEMP, Graph()), 0);
}

TEST_F(GraphPaint, EveryEnabledTraceIsDrawnInsideTheGraph)
{
    for (int trace = 0; trace < TRACE_COUNT; ++trace)
        Theme.Trace[trace].Enable = 1;
    Rebuild();
    FillHistory(HISTORY_SIZE);
    Sample.BoostClockCore = 1000.0;
    Sample.BoostClockMemory = 2000.0;
    Sample.BoostClockShader = 1500.0;
    Compose();
    for (int trace = 0; trace < TRACE_COUNT; ++trace) {
        const int inside = TracePixels(trace, Graph());
        EXPECT_GT(inside, 0) << trace;
        EXPECT_EQ(inside, TracePixelsAnywhere(trace)) << trace;
    }
}

// A temperature of 80 at a limit of 160 lies half way up the graph; a full history ends one
// step short of the right edge.
TEST_F(GraphPaint, PointsFollowTheScale)
{
    EnableTrace(TRACE_CORE_TEMP);
    FillHistory(HISTORY_SIZE);
    for (HISTORYENTRY& entry : Sample.History)
        entry.CoreTemp = 80;
    Compose();
    const int middle = T() + H() / 2;
    RECT row = {L(), middle - 1, L() + W(), middle + 2};
    EXPECT_GE(TracePixels(TRACE_CORE_TEMP, row), W() - W() / 256 - 2);
    EXPECT_EQ(TracePixels(TRACE_CORE_TEMP, row), TracePixelsAnywhere(TRACE_CORE_TEMP));
    const int lastX = GraphPointX(HISTORY_SIZE - 1);
    EXPECT_EQ(static_cast<int>(L() + 255 * (W() / 256.0f)), lastX);
    EXPECT_LT(lastX, L() + W());
    EXPECT_EQ(L(), GraphPointX(0));
}

TEST_F(GraphPaint, BoostClockOfZeroDrawsNoClockTrace)
{
    Theme.Trace[TRACE_CORE_CLOCK].Enable = 1;
    Theme.Trace[TRACE_MEMORY_CLOCK].Enable = 1;
    Theme.Trace[TRACE_SHADER_CLOCK].Enable = 1;
    Rebuild();
    FillHistory(HISTORY_SIZE);
    Sample.BoostClockCore = 0.0;
    Sample.BoostClockMemory = 2000.0;
    Sample.BoostClockShader = std::numeric_limits<double>::quiet_NaN();
    Compose();
    EXPECT_EQ(0, TracePixelsAnywhere(TRACE_CORE_CLOCK));
    EXPECT_EQ(0, TracePixelsAnywhere(TRACE_SHADER_CLOCK));
    const int memory = TracePixels(TRACE_MEMORY_CLOCK, Graph());
    EXPECT_GT(memory, 0);
    EXPECT_EQ(memory, TracePixelsAnywhere(TRACE_MEMORY_CLOCK));
}

// Entries whose quotient is not finite are left out; the trace joins the others.
TEST_F(GraphPaint, ClockTraceDrawsOnlyItsValidPoints)
{
    EnableTrace(TRACE_CORE_CLOCK);
    FillHistory(HISTORY_SIZE);
    Sample.BoostClockCore = 1000.0;
    for (unsigned int i = 0; i < HISTORY_SIZE; ++i) {
        double& clock = Sample.History[i].ClockCore;
        clock = i % 2 ? std::numeric_limits<double>::infinity() : 500.0;
    }
    Compose();
    const int drawn = TracePixelsAnywhere(TRACE_CORE_CLOCK);
    EXPECT_GT(drawn, W() / 2);
    EXPECT_EQ(drawn, TracePixels(TRACE_CORE_CLOCK, Graph()));
}

// A tiny boost clock gives huge but finite quotients, and a usage can be any number in the record:
// such points are held to one graph height above the graph, never thrown out to coordinates the
// system cannot draw. Every other entry is ordinary, so the trace runs up and down between them.
TEST_F(GraphPaint, AbsurdValuesStayNearTheGraph)
{
    FillHistory(HISTORY_SIZE);
    Sample.BoostClockCore = 1e-300;
    for (unsigned int i = 0; i < HISTORY_SIZE; ++i) {
        HISTORYENTRY& entry = Sample.History[i];
        entry.ClockCore = i % 2 ? 1000.0 : 0.0;
        entry.UsageCore = i % 2 ? 4000000000u : 50u;
    }
    const RECT reach = {L(), T() - H() - 1, L() + W(), T() + H() + 2};
    for (int trace : {TRACE_CORE_CLOCK, TRACE_CORE_USAGE}) {
        for (THEMETRACE& each : Theme.Trace)
            each.Enable = 0;
        EnableTrace(trace);
        Compose();
        const int drawn = TracePixelsAnywhere(trace);
        EXPECT_GT(drawn, 0) << trace;
        EXPECT_EQ(drawn, TracePixels(trace, reach)) << trace;
        // The upward strokes rise past the graph's top edge.
        EXPECT_EQ(TraceColour(trace), Pixel(L() + static_cast<int>(W() / 256.0f * 2.5f), T() - 10)) << trace;
    }
}

TEST_F(GraphPaint, CursorLineMarksTheHoveredEntry)
{
    FillHistory(HISTORY_SIZE);
    Compose();
    const int x = GraphPointX(100);
    HoverPosition = {x, T() + H() / 2};
    Compose();
    RECT column = {x, T(), x + 1, T() + H()};
    EXPECT_NEAR(H() / 2, CountColour(column, GRID_COLOUR), 1);
    EXPECT_EQ(CountColour(column, GRID_COLOUR), CountColour(Graph(), GRID_COLOUR));
}

TEST_F(GraphPaint, NoCursorLineWhenTheHoverIsOutsideTheGraphOrBeyondTheHistory)
{
    FillHistory(10);
    HoverPosition = {L() + 5, T() - 3};
    Compose();
    EXPECT_EQ(0, CountColour(Graph(), GRID_COLOUR));
    HoverPosition = {L() + W() - 3, T() + 10};
    Compose();
    EXPECT_EQ(0, CountColour(Graph(), GRID_COLOUR));
}

TEST_F(GraphPaint, GraphFrameIsDrawnWhenFramesAreOn)
{
    Theme.Frame.Enable = 1;
    Compose();
    RECT bottomRow = {L() + 1, T() + H(), L() + W() - 1, T() + H() + 1};
    EXPECT_EQ(W() - 2, CountColour(bottomRow, FRAME_COLOUR));
    EXPECT_NE(FRAME_COLOUR, Pixel(L(), T() - 1));
}

}  // namespace
