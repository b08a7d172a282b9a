#include "hosts/qt/qt_dialog_host.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>
#include <thread>

#include "dialogs/template_dialog.h"
#include "hosts/qt/dialog_builder.h"
#include "hosts/qt/qt_dialog_window.h"
#include "hosts/qt/qt_list_controls.h"
#include "hosts/qt/resource_icon.h"
#include "platform/program_path.h"
#include "res/resources.h"

namespace {

constexpr char kCaption[] = "LumikartaSystemInfo";

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Drops the user's input to every window while it lives; painting and posted events go on.
class InputBlocker final : public QObject {
public:
    InputBlocker() { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
            case QEvent::Close:
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }
};

}  // namespace

CQtDialogHost::CQtDialogHost(QWidget* owner) : m_pOwner(owner) {}

CQtDialogHost::~CQtDialogHost() = default;

QDialog* CQtDialogHost::Window() const {
    return m_pWindow.get();
}

void CQtDialogHost::MakeWindow(CTemplateDialog& dialog) {
    if (!m_pWindow) {
        m_pWindow =
            std::make_unique<QtDialogWindow>(dialog, LoadDialogTemplate(dialog.TemplateId()), m_pOwner);
    }
}

int CQtDialogHost::RunModal(CTemplateDialog& dialog) {
    MakeWindow(dialog);
    dialog.InitDialog();
    return dialog.Ended() ? dialog.Result() : m_pWindow->exec();
}

void CQtDialogHost::CreateModeless(CTemplateDialog& dialog) {
    MakeWindow(dialog);
    dialog.InitDialog();
}

void CQtDialogHost::EndDialog(int result) {
    if (m_pWindow) {
        m_pWindow->done(result);
    }
}

std::unique_ptr<CDialogHost> CQtDialogHost::CreateChildHost() {
    return std::make_unique<CQtDialogHost>(m_pWindow ? m_pWindow.get() : m_pOwner.data());
}

void CQtDialogHost::SetIcon(uint32_t iconId) {
    if (m_pWindow) {
        m_pWindow->setWindowIcon(LoadAppIcon(iconId));
    }
}

void CQtDialogHost::AddSystemMenuItem(int commandId, const std::string& text) {
    if (m_pWindow) {
        m_pWindow->AddSystemMenuItem(commandId, Text(text));
    }
}

QWidget* CQtDialogHost::Control(int id) const {
    return m_pWindow ? FindControl(*m_pWindow, id) : nullptr;
}

std::string CQtDialogHost::GetText(int id) const {
    QWidget* control = Control(id);
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        text = edit->text();
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(control)) {
        text = area->toPlainText();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        text = combo->currentText();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        text = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        text = button->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        text = group->title();
    }
    return text.toStdString();
}

void CQtDialogHost::SetText(int id, const std::string& utf8) {
    QWidget* control = Control(id);
    const QString text = Text(utf8);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
        // The start of a long line, as a native edit shows it, not the end where Qt leaves the cursor.
        edit->setCursorPosition(0);
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(control)) {
        area->setPlainText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->isEditable()) {
            combo->setEditText(text);
        }
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    }
}

void CQtDialogHost::Enable(int id, bool enabled) {
    if (QWidget* control = Control(id)) {
        control->setEnabled(enabled);
    }
}

bool CQtDialogHost::IsEnabled(int id) const {
    QWidget* control = Control(id);
    return control && control->isEnabled();
}

void CQtDialogHost::Show(int id, bool shown) {
    if (QWidget* control = Control(id)) {
        control->setVisible(shown);
    }
}

void CQtDialogHost::SetFocus(int id) {
    if (QWidget* control = Control(id)) {
        control->setFocus();
    }
}

void CQtDialogHost::SetFontStyle(int id, FontStyle style) {
    QWidget* control = Control(id);
    if (!control) {
        return;
    }
    QFont font = control->font();
    if (style == FontStyle::Bold) {
        font.setWeight(QFont::Bold);
    } else {
        font.setUnderline(true);
    }
    control->setFont(font);
}

void CQtDialogHost::LimitText(int id, int maxCharacters) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
        edit->setMaxLength(maxCharacters);
    }
}

int CQtDialogHost::AddItem(int id, const std::string& text) {
    QWidget* box = Control(id);
    const QSignalBlocker quiet(box);
    return box ? AddString(*box, Text(text)) : -1;
}

int CQtDialogHost::InsertItem(int id, int index, const std::string& text) {
    QWidget* box = Control(id);
    const QSignalBlocker quiet(box);
    return box ? InsertString(*box, index, Text(text)) : -1;
}

void CQtDialogHost::RemoveItem(int id, int index) {
    QWidget* box = Control(id);
    const QSignalBlocker quiet(box);
    if (auto* list = qobject_cast<QListWidget*>(box)) {
        delete list->takeItem(index);
    } else if (auto* combo = qobject_cast<QComboBox*>(box)) {
        combo->removeItem(index);
    }
}

void CQtDialogHost::ClearItems(int id) {
    QWidget* box = Control(id);
    const QSignalBlocker quiet(box);
    if (auto* list = qobject_cast<QListWidget*>(box)) {
        list->clear();
    } else if (auto* combo = qobject_cast<QComboBox*>(box)) {
        combo->clear();
    }
}

int CQtDialogHost::ItemCount(int id) const {
    QWidget* box = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(box)) {
        return list->count();
    }
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        return combo->count();
    }
    return 0;
}

std::string CQtDialogHost::ItemText(int id, int index) const {
    QWidget* box = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(box)) {
        const QListWidgetItem* item = list->item(index);
        return item ? item->text().toStdString() : std::string();
    }
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        return combo->itemText(index).toStdString();
    }
    return {};
}

void CQtDialogHost::Select(int id, int index) {
    QWidget* box = Control(id);
    const QSignalBlocker quiet(box);
    if (auto* list = qobject_cast<QListWidget*>(box)) {
        list->setCurrentRow(index);
    } else if (auto* combo = qobject_cast<QComboBox*>(box)) {
        combo->setCurrentIndex(index);
    }
}

// A list's current row counts only while it is selected: Qt keeps a current row without a selection.
int CQtDialogHost::Selection(int id) const {
    QWidget* box = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(box)) {
        const int row = list->currentRow();
        return row >= 0 && list->item(row)->isSelected() ? row : -1;
    }
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        return combo->currentIndex();
    }
    return -1;
}

void CQtDialogHost::SetProgressRange(int id, int low, int high) {
    if (auto* progress = qobject_cast<QProgressBar*>(Control(id))) {
        progress->setRange(low, high);
    }
}

void CQtDialogHost::SetProgressPos(int id, int position) {
    if (auto* progress = qobject_cast<QProgressBar*>(Control(id))) {
        progress->setValue(position);
    }
}

void CQtDialogHost::SetHandCursor(int id) {
    if (QWidget* label = Control(id)) {
        m_pWindow->MakeLink(*label);
    }
}

void CQtDialogHost::SetTextColour(int id, RgbColour colour) {
    if (QWidget* label = Control(id)) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(colour.red, colour.green, colour.blue));
        label->setPalette(palette);
        label->repaint();
    }
}

MessageAnswer CQtDialogHost::ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(BoxIcon(icon), QString::fromUtf8(kCaption), Text(text), QMessageBox::NoButton,
                    m_pWindow ? m_pWindow.get() : m_pOwner.data());
    // Parts of a message may come from a server: Qt would take text that looks like markup for rich
    // text and make its links clickable.
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

// Installers for Linux seldom end in .exe, and a type that hid the proposed file (a .sh installer
// under *.exe) would hide what the user is about to save: the proposed file's own extension stands
// in for the question's, and all files can be shown, in Qt's own words as the rest of its file
// dialog.
std::optional<std::string> CQtDialogHost::AskSaveFile(const SaveFileQuestion& question) {
    const QString name = Text(question.proposedName);
    const QString suffix = QFileInfo(name).suffix();
    const QString pattern = suffix.isEmpty() ? Text(question.filePattern) : "*." + suffix;
    QFileDialog dialog(m_pWindow.get(), Text(question.title), Text(question.folder));
    dialog.setNameFilters(
        {Text(question.fileTypeName) + " (" + pattern + ")", QFileDialog::tr("All Files (*)")});
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix.isEmpty() ? Text(question.defaultExtension) : suffix);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

// The bytes as they are, so the clipboard holds exactly the program's text.
bool CQtDialogHost::CopyToClipboard(const std::string& text) {
    auto* data = new QMimeData();
    data->setData(QStringLiteral("text/plain"), QByteArray::fromStdString(text));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

void CQtDialogHost::OpenUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(Text(url)));
}

// Through the desktop's opener, xdg-open, whose exit status tells whether a program for the file could
// be found and started. It may wait for the program it started (an installer runs as long as the user
// takes), so a moment without an answer counts as started; the opener then ends on its own.
FileOpening CQtDialogHost::OpenFile(const std::string& path) {
    constexpr int kAnswerWaitMs = 2000;
    auto* opener = new QProcess(QCoreApplication::instance());
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    opener->start(QStringLiteral("xdg-open"), {Text(path)});
    if (!opener->waitForStarted()) {
        delete opener;
        return FileOpening::Failed;
    }
    if (!opener->waitForFinished(kAnswerWaitMs)) {
        return FileOpening::Started;
    }
    const bool opened = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    return opened ? FileOpening::Started : FileOpening::Failed;
}

bool CQtDialogHost::RestartProgram() {
    return QProcess::startDetached(QString::fromStdString(platform::ProgramFile().string()), {});
}

void CQtDialogHost::PostNotice(int notice, std::string payload) {
    if (m_pWindow) {
        m_pWindow->PostNotice(notice, std::move(payload));
    }
}

// Qt paints when the window system asks, in no fixed order with the event queue: the notice comes as
// any other.
void CQtDialogHost::PostNoticeWhenIdle(int notice) {
    PostNotice(notice, {});
}

// A nested event loop keeps every window painting; the quit is posted from the helper, so it cannot
// be missed even when the work ends before the loop starts.
void CQtDialogHost::RunBlocking(const std::function<void()>& work) {
    const InputBlocker blocked;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop loop;
    std::thread helper([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    helper.join();
    QApplication::restoreOverrideCursor();
}

std::unique_ptr<CDialogHost> CreateTopLevelDialogHost() {
    return std::make_unique<CQtDialogHost>(nullptr);
}
