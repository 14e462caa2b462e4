#include "frontend/win32/win32_accessibility.h"

#include <oleacc.h>

#include <new>
#include <string>

#include "frontend/win32/common_controls.h"
#include "platform/windows/system_library.h"

namespace vantu::win32 {
namespace {

constexpr UINT_PTR kAccessibleSubclass = 2;

// IAccessible's own identifier: the import library's may be a stub that no object answers to.
constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Renaming {
    std::wstring name;
    bool textIsValue;
};

// A BSTR for the caller to free, from OLE's automation library, which is not imported: it is
// loaded with oleacc when a screen reader first asks.
BSTR allocString(const wchar_t* text) {
    using Alloc = BSTR(WINAPI*)(const OLECHAR*);
    static const auto alloc = systemFunction<Alloc>("oleaut32.dll", "SysAllocString");
    return alloc != nullptr ? alloc(text) : nullptr;
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's accessible object of a control with another name; everything else is its own.
// It answers only for the interfaces it implements: any other of the system's object (its
// children's enumerator, say) would lead back to the object without the name.
class RenamedAccessible final : public IAccessible, public IOleWindow {
  public:
    RenamedAccessible(IAccessible* inner, HWND control, const Renaming& renaming)
        : inner_(inner), control_(control), renaming_(renaming) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kIidAccessible)) {
            *object = static_cast<IAccessible*>(this);
        } else if (IsEqualIID(iid, IID_IOleWindow)) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            inner_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IOleWindow: the control, for those who look for the window of an accessible object.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr)
            return E_POINTER;
        *window = control_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL /*enter*/) override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* wrong) override {
        return inner_->Invoke(id, iid, locale, flags, parameters, result, exception, wrong);
    }

    // IAccessible: the name and the value are answered here, the rest by the system's object.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!isSelf(child))
            return inner_->get_accName(child, name);
        if (name == nullptr)
            return E_POINTER;
        *name = allocString(renaming_.name.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        const HRESULT result = inner_->get_accValue(child, value);
        if (!isSelf(child) || !renaming_.textIsValue || value == nullptr ||
            (SUCCEEDED(result) && *value != nullptr))
            return result;
        // Not every system's object of a list has a value (Wine's has none): the text it shows.
        try {
            const int length = GetWindowTextLengthW(control_);
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                GetWindowTextW(control_, text.data(), static_cast<int>(text.size()))));
            if (text.empty())
                return result;
            *value = allocString(text.c_str());
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return inner_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return inner_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
        return inner_->get_accChild(child, dispatch);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return inner_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return inner_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return inner_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return inner_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return inner_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return inner_->get_accKeyboardShortcut(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return inner_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return inner_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        return inner_->get_accDefaultAction(child, text);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return inner_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return inner_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return inner_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return inner_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return inner_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

  private:
    ~RenamedAccessible() = default;

    LONG references_ = 1;
    IAccessible* inner_;
    HWND control_;
    Renaming renaming_;
};

// COM on this thread, which hands the object over: started at the first question (so that
// nothing of it loads before assistive technology asks) and ended with the window.
thread_local bool comStarted = false;

void startCom() {
    using Initialize = HRESULT(WINAPI*)(LPVOID, DWORD);
    static const auto initialize = systemFunction<Initialize>("ole32.dll", "CoInitializeEx");
    if (!comStarted && initialize != nullptr)
        comStarted = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
}

// The answer to WM_GETOBJECT for the control's client object, or 0 for the system's own. That is
// also the answer when the renamed object cannot be made (no memory for it): a screen reader
// then reads the system's name, which beats ending the launcher because it asked.
LRESULT renamedObject(HWND control, WPARAM flags, const Renaming& renaming) noexcept {
    using CreateStd = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    static const auto createStd =
        systemFunction<CreateStd>("oleacc.dll", "CreateStdAccessibleObject");
    static const auto fromObject = systemFunction<FromObject>("oleacc.dll", "LresultFromObject");
    startCom();
    IAccessible* system = nullptr;
    if (createStd == nullptr || fromObject == nullptr ||
        FAILED(createStd(control, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&system))))
        return 0;
    RenamedAccessible* renamed = nullptr;
    try {
        renamed = new RenamedAccessible(system, control, renaming);
    } catch (...) {
        system->Release();
        return 0;
    }
    const LRESULT result = fromObject(kIidAccessible, flags, static_cast<IAccessible*>(renamed));
    renamed->Release();
    return result > 0 ? result : 0;
}

LRESULT CALLBACK accessibleProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*subclassId*/, DWORD_PTR data) {
    auto* renaming = reinterpret_cast<Renaming*>(data);
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (const LRESULT result = renamedObject(control, wParam, *renaming); result != 0)
            return result;
    } else if (message == WM_NCDESTROY) {
        commonControls().removeSubclass(control, accessibleProc, kAccessibleSubclass);
        delete renaming;
    }
    return commonControls().defaultProc(control, message, wParam, lParam);
}

}  // namespace

void endAccessibility() {
    using Uninitialize = void(WINAPI*)();
    if (comStarted)
        systemFunction<Uninitialize>("ole32.dll", "CoUninitialize")();
    comStarted = false;
}

void nameForAccessibility(HWND control, std::string_view name, bool textIsValue) {
    // The layout's names are ASCII.
    auto* renaming = new Renaming{std::wstring(name.begin(), name.end()), textIsValue};
    if (!commonControls().setSubclass(control, accessibleProc, kAccessibleSubclass,
                                      reinterpret_cast<DWORD_PTR>(renaming)))
        delete renaming;
}

}  // namespace vantu::win32
