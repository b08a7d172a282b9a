#include "dialogs/about_dlg.h"

#include "res/resource_ids.h"

CAboutDlg::CAboutDlg(std::unique_ptr<CDialogHost> host) : CTemplateDialog(IDD_ABOUTBOX, std::move(host)) {}
