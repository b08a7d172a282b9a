#include "app/lumikarta_system_info_dlg.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>

#include "app/about_dlg.h"
#include "app/language.h"
#include "app/program_starter.h"
#include "common/info_fields.h"
#include "common/line_edit_text.h"
#include "common/list_controls.h"
#include "common/message_box.h"
#include "common/resource_icon.h"
#include "common/web_addresses.h"
#include "platform/program_path.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "support/send_dialog.h"
#include "sysinfo/info_lines.h"
#include "update/update_box.h"

CLumikartaSystemInfoDlg::CLumikartaSystemInfoDlg(QWidget* pParent)
    : CTemplateDialog(IDD_LUMIKARTASYSTEMINFO_DIALOG, pParent), m_hIcon(LoadAppIcon(IDR_MAINFRAME)) {
    BindControls();
}

void CLumikartaSystemInfoDlg::BindControls() {
    using namespace main_window;
    m_editGraphics = Bind<QLineEdit>(kGraphics);
    m_editDriver = Bind<QLineEdit>(kDriver);
    m_editOS = Bind<QLineEdit>(kOS);
    m_editRAM = Bind<QLineEdit>(kRAM);
    m_editCPU = Bind<QLineEdit>(kCPU);
    m_listProducts = Bind<QListWidget>(kProducts);
    m_listPrinters = Bind<QListWidget>(kPrinters);
    m_comboLanguage = Bind<QComboBox>(kLanguage);
    m_linkFAQ.SubclassLabel(*Bind<QLabel>(kFAQ));

    connect(Bind<QPushButton>(kUpdates), &QPushButton::clicked, this, [this] { OnUpdates(); });
    connect(Bind<QPushButton>(kSupport), &QPushButton::clicked, this, [this] { OnSupport(); });
    connect(Bind<QPushButton>(kCopyInfo), &QPushButton::clicked, this, [this] { OnCopyInfo(); });
    // Only a choice of the user, not the selection made while the window opens.
    connect(m_comboLanguage, &QComboBox::activated, this, [this] { OnLanguageChanged(); });
}

bool CLumikartaSystemInfoDlg::OnInitDialog() {
    AddSystemMenuEntries();
    setWindowIcon(m_hIcon);
    show();
    CollectSystemInfo();
    m_linkFAQ.SetURL(FaqPageUrl());
    ShowFacts();
    m_comboLanguage->setCurrentIndex(m_nLanguage >= 0 && m_nLanguage < m_comboLanguage->count() ? m_nLanguage
                                                                                                : -1);
    return true;
}

void CLumikartaSystemInfoDlg::CollectSystemInfo() {
    m_SysInfo.CollectAll();
}

// The platform has no window menu of ours to extend, so the entry lives in the window's context
// menu: a right click anywhere on the window.
void CLumikartaSystemInfoDlg::AddSystemMenuEntries() {
    const std::string aboutText = LoadResString(IDS_ABOUTBOX);
    if (aboutText.empty()) {
        return;
    }
    m_systemMenu.addSeparator();
    QAction* about = m_systemMenu.addAction(QString::fromStdString(aboutText));
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
}

void CLumikartaSystemInfoDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_systemMenu.isEmpty()) {
        m_systemMenu.exec(event->globalPos());
    }
}

void CLumikartaSystemInfoDlg::ShowFacts() {
    ShowInfoLines(m_SysInfo, {m_editCPU, m_editRAM, m_editGraphics, m_editDriver, m_editOS});
    for (const ProductInfo& product : m_SysInfo.m_Products) {
        AddString(*m_listProducts, QString::fromStdString(product.m_strName));
    }
    for (const std::string& printer : m_SysInfo.m_Printers) {
        AddString(*m_listPrinters, QString::fromStdString(printer));
    }
}

void CLumikartaSystemInfoDlg::OnSysCommand(int commandId) {
    if ((commandId & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
    }
}

void CLumikartaSystemInfoDlg::OnCopyInfo() {
    const InfoLines lines{LineText(*m_editCPU), LineText(*m_editRAM), LineText(*m_editGraphics),
                          LineText(*m_editDriver), LineText(*m_editOS)};
    const std::string text = CopyInfoText(lines, "\r\n");
    auto* data = new QMimeData();
    data->setData(QStringLiteral("text/plain"), QByteArray::fromStdString(text));
    QGuiApplication::clipboard()->setMimeData(data);
}

// The question is asked even when the value could not be stored; a restart then keeps the old
// language.
void CLumikartaSystemInfoDlg::OnLanguageChanged() {
    StoreLanguage(m_comboLanguage->currentIndex());
    if (ShowMessageBox(this, LoadResString(IDS_RESTART_QUESTION), MessageIcon::Question,
                       MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    StartProgram(platform::ProgramFile());
    EndDialog(0);
}

void CLumikartaSystemInfoDlg::OnSupport() {
    CSendDialog dialog(m_SysInfo, this);
    dialog.m_nLanguage = m_nLanguage;
    dialog.DoModal();
}

void CLumikartaSystemInfoDlg::OnUpdates() {
    CUpdateBox dialog(this);
    dialog.m_strDefinitionUrl = UpdateDefinitionUrl();
    dialog.DoModal();
}
