#pragma once

#include "config/theme.h"
#include "regionassert.h"
#include "support/dialogwatch.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

// What the panel window saw of the mask-region worker's completion command, recorded in its
// procedure before it hands the command to OnMaskRegionBuilt (so while the wait dialog still runs).
struct COMPLETIONLOG {
    int count;
    LPARAM result;
    bool waitDialogShown;
    std::string waitTitle;
    std::string waitLines[4];
    bool requesterEnabled;
};

// A command the test panel answers by applying the shape itself, from inside whatever modal loop
// is running.
const WORD APPLY_SHAPE_COMMAND = 0x7101;

// A panel window and a requester, the theme restored after each test, the program's dialog
// templates at hand, and every error message box answered and counted.
class ShapedPanel : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Apply(HDC skinSurface = nullptr);

    // The window's region, or null when it has none.
    RegionPtr WindowRegion() const;
    // Layered, fully opaque, without a colour key.
    ::testing::AssertionResult LayeredAndOpaque() const;
    ::testing::AssertionResult KeyedOn(COLORREF key) const;

    int ErrorBoxes() const { return errorBoxes_.load(); }
    std::string ErrorTexts() const;

    const COMPLETIONLOG& Completion() const;

    HWND window_ = nullptr;
    HWND requester_ = nullptr;
    RECT client_ = {0, 0, 120, 80};
    testenv::TempDir dir_;

private:
    std::unique_ptr<THEMEDATA> savedTheme_;
    HINSTANCE savedInstance_ = nullptr;
    std::atomic<int> errorBoxes_{0};
    std::atomic<int> otherDialogs_{0};
    char errorTexts_[4096] = {};
    char otherTitle_[256] = {};
    std::unique_ptr<testenv::DialogWatch> watch_;
};
