#include "controls/win/Accessible_win.h"

#include <oleacc.h>

#include <atomic>
#include <utility>

namespace ondrevan::win {
namespace {

// Not IID_IAccessible: MinGW's import library resolves that name to no real identifier.

BSTR ToBstr(const std::wstring& text) {
    return ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object for the window, with the facts laid over it for the window itself;
// its children (a list's items) and everything else are the system's.
class AccessibleControl final : public IAccessible {
  public:
    AccessibleControl(IAccessible* inner, AccessibleFacts facts)
        : inner_(inner), facts_(std::move(facts)) {}
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(iid, object);  // IEnumVARIANT, IOleWindow
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

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
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return inner_->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: the facts
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        if (IsSelf(child) && facts_.hasName) {
            *name = ToBstr(facts_.name);
            return S_OK;
        }
        return inner_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!value) return E_POINTER;
        if (IsSelf(child) && facts_.hasValue) {
            *value = ToBstr(facts_.value);
            return S_OK;
        }
        return inner_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (IsSelf(child) && facts_.role) {
            ::VariantInit(role);
            role->vt = VT_I4;
            role->lVal = facts_.role;
            return S_OK;
        }
        return inner_->get_accRole(child, role);
    }

    // IAccessible: the system's
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return inner_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return inner_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return inner_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return inner_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT result = inner_->get_accState(child, state);
        if (IsSelf(child) && facts_.checkable && SUCCEEDED(result) && state->vt == VT_I4) {
            state->lVal &= ~STATE_SYSTEM_CHECKED;
            if (facts_.checked) state->lVal |= STATE_SYSTEM_CHECKED;
        }
        return result;
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
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return inner_->accHitTest(x, y, child);
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
    ~AccessibleControl() { inner_->Release(); }

    IAccessible* inner_;
    AccessibleFacts facts_;
    std::atomic<ULONG> references_{1};
};

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleFacts& facts) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
    if (!facts.role && !facts.hasName && !facts.hasValue && !facts.checkable) return 0;
    IAccessible* inner = nullptr;
    if (FAILED(::CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&inner))) ||
        !inner)
        return 0;
    auto* control = new AccessibleControl(inner, facts);
    const LRESULT result = ::LresultFromObject(__uuidof(IAccessible), wParam, control);
    control->Release();  // the result holds its own reference
    return result > 0 ? result : 0;
}

void AnnounceNameChange(HWND window) {
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceValueChange(HWND window) {
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace ondrevan::win
