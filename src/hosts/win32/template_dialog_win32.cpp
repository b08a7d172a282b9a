#include "hosts/win32/template_dialog_win32.h"

#include <commctrl.h>

#include <map>
#include <memory>
#include <span>
#include <vector>

#include "hosts/win32/dialog_template_win32.h"
#include "hosts/win32/ellipsis_label_win32.h"
#include "hosts/win32/table_icon_win32.h"
#include "hosts/win32/window_dpi_win32.h"
#include "platform/wide_text_windows.h"

namespace {

constexpr wchar_t kContextProperty[] = L"LumikartaTemplateDialog";

// What the dialog needs from its creation to its end; it lives as long as the window.
struct DialogContext {
    const LumikartaDialogTemplate* dialogTemplate;
    DLGPROC procedure;
    LPARAM param;
    // Set once the window has taken the context over; until then the creator owns it.
    bool* taken;
    // The icon each icon control shows.
    std::map<HWND, HICON> icons;
};

void AddItems(HWND control, UINT addMessage, const LumikartaDialogControl& templateControl) {
    for (const char* item : std::span(templateControl.items, templateControl.itemCount)) {
        const std::wstring text = platform::WideFromUtf8(item ? item : "");
        SendMessageW(control, addMessage, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

// The icon in the size for the DPI; the one it replaces goes with its control's old picture.
void SetIcon(HWND control, uint32_t imageId, UINT dpi, DialogContext& context) {
    HICON icon = LoadTableIcon(imageId, SystemMetricForDpi(SM_CXICON, dpi));
    if (icon == nullptr) {
        return;
    }
    HICON old =
        reinterpret_cast<HICON>(SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
    if (const auto kept = context.icons.find(control); kept != context.icons.end() && kept->second == old) {
        DestroyIcon(old);
    }
    context.icons[control] = icon;
}

// Calls visit with each control and its template entry, walked in creation order rather than by id,
// as labels share the id -1.
template <typename Visit>
void ForEachControl(HWND dialog, const LumikartaDialogTemplate& dialogTemplate, Visit visit) {
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const LumikartaDialogControl& templateControl :
         std::span(dialogTemplate.controls, dialogTemplate.controlCount)) {
        if (control == nullptr) {
            break;
        }
        visit(control, templateControl);
        control = GetWindow(control, GW_HWNDNEXT);
    }
}

void PrepareControls(HWND dialog, DialogContext& context) {
    const UINT dpi = WindowDpi(dialog);
    ForEachControl(dialog, *context.dialogTemplate,
                   [&](HWND control, const LumikartaDialogControl& templateControl) {
                       switch (templateControl.kind) {
                           case LUMIKARTA_CONTROL_LIST_BOX:
                               AddItems(control, LB_ADDSTRING, templateControl);
                               break;
                           case LUMIKARTA_CONTROL_COMBO_BOX:
                           case LUMIKARTA_CONTROL_DROP_DOWN_LIST:
                               AddItems(control, CB_ADDSTRING, templateControl);
                               break;
                           case LUMIKARTA_CONTROL_ICON:
                               SetIcon(control, templateControl.imageId, dpi, context);
                               break;
                           case LUMIKARTA_CONTROL_LABEL:
                               if (templateControl.style & LUMIKARTA_STYLE_ELLIPSIS_TOOLTIP) {
                                   MakeEllipsisLabel(control);
                               }
                               break;
                           default:
                               break;
                       }
                   });
}

INT_PTR CALLBACK TemplateDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* context = reinterpret_cast<DialogContext*>(lParam);
        SetPropW(dialog, kContextProperty, context);
        *context->taken = true;
        context->taken = nullptr;
        PrepareControls(dialog, *context);
        return context->procedure(dialog, message, wParam, context->param);
    }
    auto* context = static_cast<DialogContext*>(GetPropW(dialog, kContextProperty));
    if (context == nullptr) {
        return FALSE;
    }
    const INT_PTR result = context->procedure(dialog, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemovePropW(dialog, kContextProperty);
        for (const auto& [control, icon] : context->icons) {
            DestroyIcon(icon);
        }
        delete context;
    }
    return result;
}

// Makes the dialog with create (modeless or modal) and frees the context when the window never
// took it over.
template <typename Result, typename Create>
Result MakeDialog(const LumikartaDialogTemplate& dialogTemplate, DLGPROC procedure, LPARAM param,
                  Create create) {
    // Progress bars, and the tooltips of labels that show only the start of their text.
    const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    const std::vector<WORD> bytes = DialogTemplateBytes(dialogTemplate);
    bool taken = false;
    auto context =
        std::make_unique<DialogContext>(DialogContext{&dialogTemplate, procedure, param, &taken, {}});
    const Result result =
        create(reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), reinterpret_cast<LPARAM>(context.get()));
    if (taken) {
        context.release();
    }
    return result;
}

}  // namespace

HWND CreateTemplateDialog(const LumikartaDialogTemplate& dialogTemplate, HWND owner, DLGPROC procedure,
                          LPARAM param) {
    return MakeDialog<HWND>(dialogTemplate, procedure, param, [owner](LPCDLGTEMPLATEW bytes, LPARAM context) {
        return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), bytes, owner, TemplateDialogProcedure,
                                          context);
    });
}

INT_PTR RunTemplateDialog(const LumikartaDialogTemplate& dialogTemplate, HWND owner, DLGPROC procedure,
                          LPARAM param) {
    return MakeDialog<INT_PTR>(dialogTemplate, procedure, param,
                               [owner](LPCDLGTEMPLATEW bytes, LPARAM context) {
                                   return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), bytes, owner,
                                                                  TemplateDialogProcedure, context);
                               });
}

void UpdateTemplateIcons(HWND dialog, UINT dpi) {
    auto* context = static_cast<DialogContext*>(GetPropW(dialog, kContextProperty));
    if (context == nullptr) {
        return;
    }
    ForEachControl(dialog, *context->dialogTemplate,
                   [&](HWND control, const LumikartaDialogControl& templateControl) {
                       if (templateControl.kind == LUMIKARTA_CONTROL_ICON) {
                           SetIcon(control, templateControl.imageId, dpi, *context);
                       }
                   });
}
