// The script bridge over a page's document and window.
#include <gtest/gtest.h>

#include "fake_html.h"
#include "platform/except.h"
#include "web_test_support.h"

namespace {

std::u16string Wide(const WCHAR* text) { return reinterpret_cast<const char16_t*>(text); }

TEST(ScriptBridge, NothingHappensWithoutAnHtmlDocument) {
  IHTMLWindow2* window = reinterpret_cast<IHTMLWindow2*>(1);
  EXPECT_FALSE(ui::DocumentParentWindow(nullptr, &window));
  EXPECT_EQ(window, nullptr);
  EXPECT_FALSE(ui::DocumentParentWindow(nullptr, nullptr));
  EXPECT_FALSE(ui::ExecScript(nullptr, u"x()", u"JavaScript"));
  EXPECT_FALSE(ui::FocusDocumentWindow(nullptr));

  // The browser object itself is a dispatch interface but no document.
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  {
    ui::TWebBrowser browser(nullptr);
    ASSERT_NE(browser.DefaultInterface(), nullptr);
    EXPECT_FALSE(ui::ExecScript(browser.DefaultInterface(), u"x()", u"JavaScript"));
    EXPECT_FALSE(ui::FocusDocumentWindow(browser.DefaultInterface()));
    // With no page engine there is no document to run scripts in.
    IDispatch* document = browser.Document();
    if (!document) {
      EXPECT_FALSE(ui::ExecScript(document, u"x()", u"JavaScript"));
    }
  }
  OleUninitialize();
}

TEST(ScriptBridge, DocumentWithoutWindow) {
  FakeHtmlState state = {};
  state.noWindow = 1;
  IDispatch* document = FakeHtmlDocument(&state);
  IHTMLWindow2* window = nullptr;
  EXPECT_FALSE(ui::DocumentParentWindow(document, &window));
  EXPECT_EQ(window, nullptr);
  EXPECT_FALSE(ui::ExecScript(document, u"x()", u"JavaScript"));
  EXPECT_FALSE(ui::FocusDocumentWindow(document));
  EXPECT_EQ(state.scriptCalls, 0);
  EXPECT_EQ(state.documentRefs, 1) << "every reference taken is given back";
}

TEST(ScriptBridge, RunsTheScriptTextAsGivenAndFocuses) {
  FakeHtmlState state = {};
  state.scriptResult = S_OK;
  IDispatch* document = FakeHtmlDocument(&state);
  const std::u16string script =
      u"window.RuDezu.App.osBrowseOpenUrl('{data:\"http://x.example/a b?\x4e2d=1\"}')";
  EXPECT_TRUE(ui::ExecScript(document, script, u"JavaScript"));
  EXPECT_EQ(state.scriptCalls, 1);
  EXPECT_EQ(Wide(state.lastScript), script);
  EXPECT_EQ(Wide(state.lastLanguage), u"JavaScript");
  EXPECT_TRUE(state.resultWasEmpty);

  EXPECT_TRUE(ui::FocusDocumentWindow(document));
  EXPECT_EQ(state.focusCalls, 1);

  IHTMLWindow2* window = nullptr;
  EXPECT_TRUE(ui::DocumentParentWindow(document, &window));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(state.windowRefs, 1);
  reinterpret_cast<IUnknown*>(window)->Release();

  EXPECT_EQ(state.windowRefs, 0);
  EXPECT_EQ(state.documentRefs, 1);
}

TEST(ScriptBridge, FailuresOfTheWindowAreRaised) {
  FakeHtmlState state = {};
  state.scriptResult = DISP_E_EXCEPTION;
  state.focusResult = E_ACCESSDENIED;
  IDispatch* document = FakeHtmlDocument(&state);
  EXPECT_THROW(ui::ExecScript(document, u"broken(", u"JavaScript"), plat::Exception);
  EXPECT_EQ(state.scriptCalls, 1);
  EXPECT_THROW(ui::FocusDocumentWindow(document), plat::Exception);
  EXPECT_EQ(state.focusCalls, 1);
  EXPECT_EQ(state.windowRefs, 0);
  EXPECT_EQ(state.documentRefs, 1);
}

}  // namespace
