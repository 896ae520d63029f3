#include "ui/web_strip_win32.h"

#include <exdisp.h>
#include <ole2.h>
#include <windowsx.h>

#include <cstring>
#include <vector>

#include "store/unique_handle.h"
#include "ui/window_kit_win32.h"

namespace {

template <typename Interface>
struct ComTraits {
    using Handle = Interface*;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { h->Release(); }
};
template <typename Interface>
using UniqueCom = UniqueHandle<ComTraits<Interface>>;

struct BstrTraits {
    using Handle = BSTR;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { SysFreeString(h); }
};

// The WebBrowser control, {8856F961-340A-11D0-A96B-00C04FD705A2}.
const CLSID web_browser_clsid = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr char web_strip_class[] = "KwWebStrip";
constexpr LONG web_browser_text_size = 2;  // OLECMDID_ZOOM's scale: 0 smallest to 4 largest

void fit_browser(HWND strip);

// The browser's container: its client site, its in-place site and, as the
// strip has no menus, tool space or status line, its (empty) frame. The
// browser may hold on to it after the strip is gone, so it reaches the strip
// only through the handle, which the strip clears when it is destroyed.
// COM objects end only through Release, never by delete through an interface
// pointer, so the interfaces' lack of a virtual destructor does no harm.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class StripSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    explicit StripSite(HWND strip) : strip_(strip) {}
    StripSite(const StripSite&) = delete;
    StripSite& operator=(const StripSite&) = delete;

    void detach() {
        strip_ = nullptr;
        active_object_.reset();
    }
    // The object that the browser made active for the keyboard, if any.
    IOleInPlaceActiveObject* active_object() const { return active_object_.get(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleClientSite: nothing is saved and there is no document to name.
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for both the site and the frame: the strip stands for both.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = strip_;
        return strip_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return strip_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO frame_info) override {
        if (frame) {
            *frame = this;
            AddRef();
        }
        if (document) *document = nullptr;  // the frame is the document window too
        RECT client{};
        if (strip_) GetClientRect(strip_, &client);
        if (position) *position = client;
        if (clip) *clip = client;
        if (frame_info) {
            frame_info->fMDIApp = FALSE;
            frame_info->hwndFrame = strip_ ? GetAncestor(strip_, GA_ROOT) : nullptr;
            frame_info->haccel = nullptr;
            frame_info->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        active_object_.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    // The browser always fills the strip, whatever size it asks for.
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override {
        if (strip_) fit_browser(strip_);
        return S_OK;
    }

    // IOleInPlaceUIWindow: no tool space to lend.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override {
        return widths ? INPLACE_E_NOTOOLSPACE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        if (object) object->AddRef();
        active_object_.reset(object);
        return S_OK;
    }

    // IOleInPlaceFrame: no menus, no status line, no accelerators of the frame's own.
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~StripSite() = default;  // only Release ends it

    LONG refs_ = 1;
    HWND strip_;
    UniqueCom<IOleInPlaceActiveObject> active_object_;
};
#pragma GCC diagnostic pop

struct WebStrip {
    UniqueCom<StripSite> site;
    UniqueCom<IOleObject> object;
    UniqueCom<IWebBrowser2> browser;
};

WebStrip* strip_of(HWND hwnd) { return reinterpret_cast<WebStrip*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

template <typename Interface>
UniqueCom<Interface> query(IUnknown* object, REFIID iid) {
    void* raw = nullptr;
    if (!object || FAILED(object->QueryInterface(iid, &raw))) raw = nullptr;
    return UniqueCom<Interface>(static_cast<Interface*>(raw));
}

void fit_browser(HWND strip) {
    WebStrip* s = strip_of(strip);
    if (!s || !s->object) return;
    RECT client;
    GetClientRect(strip, &client);
    if (auto in_place = query<IOleInPlaceObject>(s->object.get(), IID_IOleInPlaceObject))
        in_place.get()->SetObjectRects(&client, &client);
}

bool navigate(IWebBrowser2& browser, const char* url) {
    const int length = MultiByteToWideChar(CP_ACP, 0, url, -1, nullptr, 0);
    if (length <= 0) return false;
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, url, -1, wide.data(), length);
    UniqueHandle<BstrTraits> address(SysAllocString(wide.data()));
    if (!address) return false;
    VARIANT none;
    VariantInit(&none);  // VT_EMPTY: no flags, no target frame, no post data, no headers
    return SUCCEEDED(browser.Navigate(address.get(), &none, &none, &none, &none));
}

// Creates the browser control in the strip and sets it up. False when the
// control cannot be made or is no IWebBrowser2; whatever was made is released
// when the strip is destroyed.
bool embed_browser(HWND strip, const char* url) {
    WebStrip& s = *strip_of(strip);
    void* raw = nullptr;
    if (FAILED(CoCreateInstance(web_browser_clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, &raw)))
        return false;
    s.object.reset(static_cast<IOleObject*>(raw));
    s.browser = query<IWebBrowser2>(s.object.get(), IID_IWebBrowser2);
    if (!s.browser) return false;
    s.site.reset(new StripSite(strip));
    s.object.get()->SetClientSite(s.site.get());
    RECT client;
    GetClientRect(strip, &client);
    // In place, not UI-active: the browser must not take the focus at start-up.
    s.object.get()->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, s.site.get(), 0, strip, &client);

    IWebBrowser2& browser = *s.browser.get();
    browser.put_Offline(VARIANT_FALSE);
    browser.put_Silent(VARIANT_FALSE);
    VARIANT text_size;
    VariantInit(&text_size);
    text_size.vt = VT_I4;
    text_size.lVal = web_browser_text_size;
    browser.ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &text_size, nullptr);
    if (url && *url) navigate(browser, url);
    return true;
}

BOOL on_nc_create(HWND hwnd, LPCREATESTRUCT) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new WebStrip));
    return TRUE;
}

// The browser's window is still there at WM_DESTROY (children go after their
// parent's WM_DESTROY), so Close can take it down in order.
void on_destroy(HWND hwnd) {
    WebStrip& s = *strip_of(hwnd);
    // Moved out first: Close sends messages back to this window.
    UniqueCom<IWebBrowser2> browser = std::move(s.browser);
    UniqueCom<IOleObject> object = std::move(s.object);
    UniqueCom<StripSite> site = std::move(s.site);
    if (object) {
        object.get()->Close(OLECLOSE_NOSAVE);
        object.get()->SetClientSite(nullptr);
    }
    if (site) site.get()->detach();
}

void on_nc_destroy(HWND hwnd) {
    delete strip_of(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
}

void on_size(HWND hwnd, UINT, int, int) { fit_browser(hwnd); }

// Tab (or a click) that lands on the strip itself goes on into the page.
void on_set_focus(HWND hwnd, HWND) {
    WebStrip* s = strip_of(hwnd);
    if (!s || !s->object || !s->site) return;
    RECT client;
    GetClientRect(hwnd, &client);
    s->object.get()->DoVerb(OLEIVERB_UIACTIVATE, nullptr, s->site.get(), 0, hwnd, &client);
}

LRESULT CALLBACK web_strip_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        HANDLE_MSG(hwnd, WM_NCCREATE, on_nc_create);
        HANDLE_MSG(hwnd, WM_DESTROY, on_destroy);
        HANDLE_MSG(hwnd, WM_NCDESTROY, on_nc_destroy);
        HANDLE_MSG(hwnd, WM_SIZE, on_size);
        HANDLE_MSG(hwnd, WM_SETFOCUS, on_set_focus);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool register_web_strip_class(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = web_strip_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = web_strip_class;
    return ensure_window_class(wc);
}

HWND strip_holding(HWND window) {
    for (; window; window = GetParent(window)) {
        char name[sizeof web_strip_class + 1] = {};
        if (GetClassNameA(window, name, sizeof name) && std::strcmp(name, web_strip_class) == 0) return window;
    }
    return nullptr;
}

}  // namespace

HWND create_web_strip(HWND parent, const ControlRow& row, const char* url) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!register_web_strip_class(instance)) return nullptr;
    const HWND strip = CreateWindowExA(0, web_strip_class, "", WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP, row.place.x,
                                       row.place.y, row.place.width, row.place.height, parent, child_id(row.id),
                                       instance, nullptr);
    if (!strip) return nullptr;
    if (!embed_browser(strip, url)) {
        DestroyWindow(strip);
        return nullptr;
    }
    return strip;
}

bool web_strip_translate_accelerator(const MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    const HWND strip = strip_holding(msg.hwnd);
    WebStrip* s = strip ? strip_of(strip) : nullptr;
    if (!s || !s->site) return false;
    // The object the browser made active, or else the browser itself.
    UniqueCom<IOleInPlaceActiveObject> queried;
    IOleInPlaceActiveObject* active = s->site.get()->active_object();
    if (!active) {
        queried = query<IOleInPlaceActiveObject>(s->object.get(), IID_IOleInPlaceActiveObject);
        active = queried.get();
    }
    if (!active) return false;
    MSG copy = msg;
    return active->TranslateAccelerator(&copy) == S_OK;
}
