#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "BoxAnswerer.h"
#include "WineTestSupport.h"
#include "app/DrawingSurface.h"
#include "app/MainWindow.h"
#include "texts/Texts.h"

TEST(MainWindow, ExistsHiddenWithItsClassAndTitle) {
  MainWindow& window = TheMainWindow();
  EXPECT_EQ(FindWindowA("Diskward", nullptr), window.windowHandle);
  EXPECT_FALSE(IsWindowVisible(window.windowHandle));
  char title[64] = {};
  GetWindowTextA(window.windowHandle, title, sizeof title);
  EXPECT_STREQ(title, "Disksentry");
  // All eight bytes of the pointer: a 32-bit slot would cut it.
  EXPECT_EQ(reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window.windowHandle, 0)), &window);
  RECT client;
  GetClientRect(window.windowHandle, &client);
  EXPECT_EQ(client.right - client.left, 640);
  EXPECT_EQ(client.bottom - client.top, 480);
}

// Cancel first, then OK: a confirmed quit cannot be taken back.
TEST(MainWindow, AsksBeforeQuittingAndQuitsOnlyOnOk) {
  MainWindow& window = TheMainWindow();
  const std::string question = std::string("Disksentry") + texts::kQuitQuestion;
  {
    BoxAnswerer answerer({IDCANCEL});
    PostMessageA(window.windowHandle, WM_CLOSE, 0, 0);
    EXPECT_TRUE(window.PumpMessages());
    EXPECT_FALSE(window.quitRequested);
    const std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, question);
    EXPECT_EQ(seen[0].caption, "Disksentry");
    EXPECT_EQ(seen[0].owner, window.windowHandle);
  }
  {
    BoxAnswerer answerer({IDOK});
    PostMessageA(window.windowHandle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.PumpMessages());
    EXPECT_TRUE(window.quitRequested);
    EXPECT_EQ(answerer.Seen().size(), 1u);
  }
  // The quit message is gone from the queue, the flag stays, and the window is never destroyed.
  EXPECT_TRUE(window.PumpMessages());
  EXPECT_TRUE(window.quitRequested);
  EXPECT_TRUE(IsWindow(window.windowHandle));
}

TEST(DrawingSurface, CreatesOnlySlotsZeroToNineAndEachOnce) {
  DrawingSurface surface;
  EXPECT_FALSE(surface.Present(0));
  ASSERT_TRUE(surface.BindWindow(TheMainWindow().windowHandle));
  EXPECT_FALSE(surface.BindWindow(TheMainWindow().windowHandle));
  EXPECT_FALSE(surface.Present(0));
  EXPECT_FALSE(surface.CreateBuffer(640, 480, 10, 16));
  EXPECT_FALSE(surface.CreateBuffer(640, 480, -1, 16));
  EXPECT_TRUE(surface.CreateBuffer(640, 480, 0, 16));
  EXPECT_FALSE(surface.CreateBuffer(320, 240, 0, 16));
  EXPECT_TRUE(surface.Present(0));
  EXPECT_FALSE(surface.Present(1));
  EXPECT_TRUE(surface.CreateBuffer(8, 8, 9, 16));
  surface.Release();
}
