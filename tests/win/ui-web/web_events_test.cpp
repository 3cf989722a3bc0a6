// The browser's events as the control hands them to its handlers: arguments taken from the
// event's variants, by-reference results written back, handler faults kept inside.
#include <exdispid.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "web_test_support.h"

namespace {

using webtest::BoolRef;
using webtest::DispRef;
using webtest::Empty;
using webtest::Int;
using webtest::Ref;
using webtest::Text;

ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class BrowserEvents : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    browser = new ui::TWebBrowser(nullptr);
    sink = webtest::EventSink(*browser);
    ASSERT_NE(sink, nullptr);
    url = SysAllocString(L"http://Desktop.example/\x684c\x9762?a=1");
  }
  void TearDown() override {
    SysFreeString(url);
    if (sink) sink->Release();
    delete browser;
    OleUninitialize();
  }
  HRESULT BeforeNavigate2(VARIANT_BOOL* cancel) {
    return webtest::FireBeforeNavigate2(sink, url, cancel);
  }

  ui::TWebBrowser* browser = nullptr;
  IDispatch* sink = nullptr;
  BSTR url = nullptr;
  const std::u16string expectedUrl = u"http://Desktop.example/\x684c\x9762?a=1";
};

TEST_F(BrowserEvents, BeforeNavigate2GetsTheAddressAndSetsCancel) {
  std::u16string got;
  bool cancelIn = true;
  browser->OnBeforeNavigate2 = [&](ui::TObject* sender, const std::u16string& u, bool& cancel) {
    EXPECT_EQ(sender, browser);
    got = u;
    cancelIn = cancel;
    cancel = true;
  };
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EXPECT_EQ(BeforeNavigate2(&cancel), S_OK);
  EXPECT_EQ(got, expectedUrl);
  EXPECT_FALSE(cancelIn);
  EXPECT_EQ(cancel, VARIANT_TRUE);

  // A cancel already set comes in set, and a handler may clear it.
  browser->OnBeforeNavigate2 = [&](ui::TObject*, const std::u16string&, bool& c) {
    cancelIn = c;
    c = false;
  };
  cancel = VARIANT_TRUE;
  BeforeNavigate2(&cancel);
  EXPECT_TRUE(cancelIn);
  EXPECT_EQ(cancel, VARIANT_FALSE);

  // Without a handler nothing changes.
  browser->OnBeforeNavigate2 = nullptr;
  cancel = VARIANT_TRUE;
  BeforeNavigate2(&cancel);
  EXPECT_EQ(cancel, VARIANT_TRUE);
}

TEST_F(BrowserEvents, NewWindow2HandsTheChosenBrowserOverWithItsOwnReference) {
  ui::TWebBrowser catcher(nullptr);
  IDispatch* target = catcher.DefaultInterface();
  ASSERT_NE(target, nullptr);
  ULONG before = RefCount(target);

  browser->OnNewWindow2 = [&](ui::TObject* sender, IDispatch** ppDisp, bool& cancel) {
    EXPECT_EQ(sender, browser);
    EXPECT_EQ(*ppDisp, nullptr);
    EXPECT_FALSE(cancel);
    *ppDisp = target;  // stored without a reference of the handler's own
  };
  IDispatch* slot = nullptr;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EXPECT_EQ(webtest::Fire(sink, DISPID_NEWWINDOW2, {DispRef(&slot), BoolRef(&cancel)}), S_OK);
  EXPECT_EQ(slot, target);
  EXPECT_EQ(cancel, VARIANT_FALSE);
  EXPECT_EQ(RefCount(target), before + 1) << "the browser owns one reference to what it gets";
  slot->Release();
  EXPECT_EQ(RefCount(target), before);

  // A handler that only cancels leaves the slot alone.
  browser->OnNewWindow2 = [&](ui::TObject*, IDispatch**, bool& c) { c = true; };
  slot = nullptr;
  webtest::Fire(sink, DISPID_NEWWINDOW2, {DispRef(&slot), BoolRef(&cancel)});
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(cancel, VARIANT_TRUE);
  EXPECT_EQ(RefCount(target), before);
}

TEST_F(BrowserEvents, ProgressStatusAndCompletionArguments) {
  std::vector<std::pair<int, int>> progress;
  std::u16string status, completed;
  browser->OnProgressChange = [&](ui::TObject*, int p, int max) { progress.push_back({p, max}); };
  browser->OnStatusTextChange = [&](ui::TObject*, const std::u16string& t) { status = t; };
  browser->OnDocumentComplete = [&](ui::TObject*, const std::u16string& u) { completed = u; };

  webtest::Fire(sink, DISPID_PROGRESSCHANGE, {Int(51), Int(100)});
  webtest::Fire(sink, DISPID_PROGRESSCHANGE, {Int(-1), Int(100)});
  ASSERT_EQ(progress.size(), 2u);
  EXPECT_EQ(progress[0], std::make_pair(51, 100));
  EXPECT_EQ(progress[1], std::make_pair(-1, 100));

  BSTR text = SysAllocString(L"\x5b8c\x6210 done");
  webtest::Fire(sink, DISPID_STATUSTEXTCHANGE, {Text(text)});
  SysFreeString(text);
  EXPECT_EQ(status, u"\x5b8c\x6210 done");

  VARIANT address = Text(url);
  webtest::Fire(sink, DISPID_DOCUMENTCOMPLETE, {Empty(), Ref(&address)});
  EXPECT_EQ(completed, expectedUrl);

  // A null text reads as empty, and an event with too few arguments is ignored.
  status.assign(1, u'x');
  webtest::Fire(sink, DISPID_STATUSTEXTCHANGE, {Text(nullptr)});
  EXPECT_EQ(status, u"");
  progress.clear();
  webtest::Fire(sink, DISPID_PROGRESSCHANGE, {Int(1)});
  EXPECT_TRUE(progress.empty());
}

TEST_F(BrowserEvents, HandlerFaultsReachTheErrorBoxNotTheBrowser) {
  webtest::MessageBoxCloser closer(GetCurrentThreadId());
  browser->OnStatusTextChange = [](ui::TObject*, const std::u16string&) {
    throw std::runtime_error("handler broke");
  };
  browser->OnProgressChange = [](ui::TObject*, int, int) { throw 42; };
  BSTR text = SysAllocString(L"x");
  EXPECT_EQ(webtest::Fire(sink, DISPID_STATUSTEXTCHANGE, {Text(text)}), S_OK);
  SysFreeString(text);
  EXPECT_EQ(webtest::Fire(sink, DISPID_PROGRESSCHANGE, {Int(1), Int(2)}), S_OK);
  std::vector<std::string> boxes = closer.Texts();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find("handler broke"), std::string::npos) << boxes[0];

  // The browser's questions for ambient properties get no answer from the event sink.
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(sink->Invoke(-5502, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                         nullptr),
            DISP_E_MEMBERNOTFOUND);
}

TEST_F(BrowserEvents, ControlFreedByItsOwnHandler) {
  bool ran = false;
  auto* self = this;
  browser->OnDocumentComplete = [self, &ran](ui::TObject*, const std::u16string&) {
    ran = true;
    ui::TWebBrowser* doomed = self->browser;
    self->browser = nullptr;
    delete doomed;  // the last thing the handler does: it is freed with the control
  };
  VARIANT address = Text(url);
  EXPECT_EQ(webtest::Fire(sink, DISPID_DOCUMENTCOMPLETE, {Empty(), Ref(&address)}), S_OK);
  EXPECT_TRUE(ran);
  // Events after that reach nothing.
  EXPECT_EQ(webtest::Fire(sink, DISPID_DOCUMENTCOMPLETE, {Empty(), Ref(&address)}), S_OK);
}

}  // namespace
