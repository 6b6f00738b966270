// The program's main window made in the test's process (UI thread = the test's
// thread), with its soft-key menu bar and status toolbar and a fake of the
// other components; g_App is reset around each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "FakeGuiServices.h"
#include "core/AppGlobals.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Dispatches what is queued for this thread now.
    static void Pump();
    std::wstring SoftKeyText(UINT key) const;
    std::wstring ButtonText(UINT command) const;
    int ButtonCount() const;

    CFakeGuiServices services;
    HWND main = nullptr;
};
