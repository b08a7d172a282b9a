#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <atomic>
#include <filesystem>
#include <thread>

#include "dialogs/template_dialog.h"
#include "helpers/long_descriptions.h"
#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"
#include "hosts/qt/dialog_builder.h"
#include "hosts/qt/qt_dialog_host.h"
#include "hosts/qt/qt_ellipsis_label.h"
#include "hosts/qt/qt_own_texts.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"

namespace {

// A dialog that notes what reaches it.
class ProbeDialog final : public CTemplateDialog {
public:
    explicit ProbeDialog(uint32_t templateId = IDD_UPDATEDOWNLOAD)
        : CTemplateDialog(templateId, std::make_unique<CQtDialogHost>(nullptr)) {}
    CQtDialogHost& Qt() { return static_cast<CQtDialogHost&>(Host()); }

    void OnCommand(int id) override { commands.push_back(id); }
    void OnSelChange(int id) override {
        selectionChanges.push_back(id);
        selectionsSeen.push_back(Host().Selection(id));
    }
    void OnMouseHover(int id, bool over) override { hovers.emplace_back(id, over); }
    void OnNotice(int notice, const std::string& payload) override {
        notices.emplace_back(notice, payload);
        noticeThread = std::this_thread::get_id();
        noticed = true;
    }

    std::vector<int> commands;
    std::vector<int> selectionChanges;
    // What the host said was selected when it told of each change.
    std::vector<int> selectionsSeen;
    std::vector<std::pair<int, bool>> hovers;
    std::vector<std::pair<int, std::string>> notices;
    std::thread::id noticeThread;
    std::atomic<bool> noticed{false};
};

// A server's text is never markup: a link in it must not become clickable.
TEST(QtDialogHostTest, MessageBoxesShowPlainText) {
    ProbeDialog dialog;
    dialog.Create();
    const QString refusal = "Fehler 3: <a href=\"file:///etc/passwd\">Details</a>";
    std::vector<std::pair<QString, Qt::TextFormat>> shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown.emplace_back(box->text(), box->textFormat());
            box->done(QMessageBox::Ok);
        }
    });
    EXPECT_EQ(dialog.Host().ShowMessage(refusal.toStdString(), MessageIcon::Stop, MessageButtons::Ok),
              MessageAnswer::Ok);
    EXPECT_EQ(shown, (std::vector<std::pair<QString, Qt::TextFormat>>{{refusal, Qt::PlainText}}));
}

// While the work runs on its helper thread the window's loop goes on: a notice the work posts arrives
// on the user-interface thread before the work ends, and a click meanwhile is dropped, not delivered
// later.
TEST(QtDialogHostTest, BlockingWorkKeepsTheWindowAliveButDeaf) {
    ProbeDialog dialog;
    dialog.Create();
    QWidget* cancel = FindControl(*dialog.Qt().Window(), download_dialog::kCancel);
    Qt::CursorShape cursorDuringWork = Qt::ArrowCursor;
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(cancel, Qt::LeftButton);
        cursorDuringWork =
            QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    });
    std::thread::id workThread;
    dialog.Host().RunBlocking([&] {
        workThread = std::this_thread::get_id();
        dialog.Host().PostNotice(7, "seven");
        for (int i = 0; i < 1000 && !dialog.noticed; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_EQ(dialog.notices, (std::vector<std::pair<int, std::string>>{{7, "seven"}}));
    EXPECT_EQ(dialog.noticeThread, std::this_thread::get_id());
    EXPECT_EQ(cursorDuringWork, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(dialog.commands.empty());

    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(dialog.commands, std::vector<int>{download_dialog::kCancel}) << "input works again";
    dialog.EndDialog(IDCANCEL);
    dialog.Host().PostNotice(8, "");
    QApplication::processEvents();
    EXPECT_EQ(dialog.notices.size(), 1u) << "an ended window gets no more notices";
}

// Return in the description starts a new line instead of pressing the default button. The product box
// takes the text as typed: no completion from its items, no item chosen for the user on leaving the
// field or on Return, and the first Return sends.
TEST(QtDialogHostTest, ReturnBreaksTheDescriptionsLineAndTypingIntoTheProductBoxChoosesNothing) {
    const struct {
        const char* typed;
        bool leavesField;
    } cases[] = {{"H", false}, {"harz", true}, {"Wanderkarte Alpen", true}};
    for (const auto& c : cases) {
        ProbeDialog dialog(IDD_SENDDIALOG);
        dialog.Create();
        for (const char* product : {"Harz", "Wanderkarte Alpen"}) {
            dialog.Host().AddItem(send_dialog::kProduct, product);
        }
        dialog.Host().Select(send_dialog::kProduct, 0);
        QDialog& window = *dialog.Qt().Window();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        auto* description = qobject_cast<QPlainTextEdit*>(FindControl(window, send_dialog::kDescription));
        description->setFocus();
        QTest::keyClick(description, Qt::Key_Return);
        EXPECT_EQ(description->toPlainText(), "\n");
        auto* product = qobject_cast<QComboBox*>(FindControl(window, send_dialog::kProduct));
        product->setFocus();
        product->clearEditText();
        QTest::keyClicks(product, c.typed);
        if (c.leavesField) {
            FindControl(window, send_dialog::kFirstName)->setFocus();
            product->setFocus();
        }
        QTest::keyClick(product, Qt::Key_Return);
        EXPECT_EQ(dialog.Host().GetText(send_dialog::kProduct), c.typed) << c.typed;
        EXPECT_EQ(dialog.Host().Selection(send_dialog::kProduct), 0) << c.typed;
        EXPECT_TRUE(dialog.selectionChanges.empty()) << c.typed;
        EXPECT_EQ(dialog.commands, std::vector<int>{send_dialog::kSend}) << c.typed;
    }
}

// The dialog hears of the user's choice in a list once the row is selected: a click makes the row
// current before it selects it.
TEST(QtDialogHostTest, ListTellsOfTheRowTheUserChoseByClickOrKey) {
    ProbeDialog dialog(IDD_UPDATEBOX);
    dialog.Create();
    for (const char* update : {"Eins", "Zwei", "Drei"}) {
        dialog.Host().InsertItem(update_box::kUpdates, -1, update);
    }
    dialog.Host().Select(update_box::kUpdates, 0);
    auto* list = qobject_cast<QListWidget*>(FindControl(*dialog.Qt().Window(), update_box::kUpdates));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(dialog.selectionsSeen, (std::vector<int>{1, 2}));
}

// A description of any length shows in the label's lines: whole when it fits, else cut after a word
// and ended by "…", and then whole in the tooltip, as plain text. The dialog still reads it whole.
TEST(QtDialogHostTest, LongDescriptionEndsAfterAWordWithAnEllipsisAndShowsWholeInItsTooltip) {
    ProbeDialog dialog(IDD_UPDATEBOX);
    dialog.Create();
    auto* label =
        dynamic_cast<QtEllipsisLabel*>(FindControl(*dialog.Qt().Window(), update_box::kDescription));
    ASSERT_NE(label, nullptr);
    for (const DescriptionCase& c : DescriptionCases()) {
        SCOPED_TRACE(c.text);
        const QString whole = QString::fromStdString(c.text);
        dialog.Host().SetText(update_box::kDescription, c.text);
        EXPECT_EQ(dialog.Host().GetText(update_box::kDescription), c.text);
        const QString shown = label->ShownText();
        if (c.cut) {
            ASSERT_TRUE(shown.endsWith(u'…')) << shown.toStdString();
            const QString kept = shown.chopped(1);
            EXPECT_TRUE(whole.startsWith(kept));
            if (whole.contains(' ')) {
                EXPECT_EQ(whole.at(kept.size()), ' ') << "cut inside a word";
                EXPECT_GT(kept.size(), 100) << "the lines are not used";
            }
        } else {
            EXPECT_EQ(shown, whole);
        }
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(label, &hover);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(),
                  c.cut ? Qt::convertFromPlainText(whole, Qt::WhiteSpaceNormal) : QString());
        QToolTip::hideText();
    }
}

// Return in the save question saves the proposed name into the folder the question starts in, not
// into the current folder; a .sh installer is offered under its own type, not hidden under *.exe;
// Qt's own words speak the system's language.
TEST(QtDialogHostTest, ReturnInTheSaveQuestionSavesTheProposedNameInItsFolder) {
    const struct {
        QLocale::Language system;
        const char* allFiles;
    } cases[] = {{QLocale::English, "All Files (*)"}, {QLocale::German, "Alle Dateien (*)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.allFiles);
        const QtOwnTexts ownTexts{QLocale(c.system)};
        ProbeDialog dialog;
        dialog.Create();
        const TempDir downloads;
        QStringList types;
        QTimer::singleShot(0, [&types] {
            if (auto* question = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                types = question->nameFilters();
                // In the file name field, where the proposed name stands.
                QTest::keyClick(question->findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
            }
        });
        const std::optional<std::string> chosen =
            dialog.Host().AskSaveFile({"Save file", downloads.Path().string(), "TopoKarte-Update-305.sh",
                                       "EXE", "Executables", "*.exe"});
        EXPECT_EQ(types, QStringList({"Executables (*.sh)", c.allFiles}));
        EXPECT_EQ(chosen, downloads.FilePath("TopoKarte-Update-305.sh"));
    }
}

// A link label reports the mouse entering and leaving it and a click released over it, and nothing
// while it is disabled.
TEST(QtDialogHostTest, LinkLabelReportsHoverAndClicksWhileEnabled) {
    ProbeDialog dialog(IDD_LUMIKARTASYSTEMINFO_DIALOG);
    dialog.Create();
    dialog.Host().SetHandCursor(main_window::kFAQ);
    QWidget* label = FindControl(*dialog.Qt().Window(), main_window::kFAQ);
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    const auto send = [label](QEvent::Type type) {
        QEvent event(type);
        QApplication::sendEvent(label, &event);
    };
    const auto use = [label, send] {
        send(QEvent::Enter);
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(-5, 2));
        send(QEvent::Leave);
    };
    use();
    const int id = main_window::kFAQ;
    EXPECT_EQ(dialog.hovers, (std::vector<std::pair<int, bool>>{{id, true}, {id, false}}));
    EXPECT_EQ(dialog.commands, std::vector<int>{id}) << "a release outside the label is no click";

    dialog.Host().Enable(id, false);
    use();
    EXPECT_EQ(dialog.hovers.size(), 2u);
    EXPECT_EQ(dialog.commands.size(), 1u);

    // Disabled under the mouse: no Leave will come, so the hover ends with the disabling.
    dialog.Host().Enable(id, true);
    send(QEvent::Enter);
    dialog.Host().Enable(id, false);
    send(QEvent::Leave);
    EXPECT_EQ(dialog.hovers,
              (std::vector<std::pair<int, bool>>{{id, true}, {id, false}, {id, true}, {id, false}}));
}

// The installer is opened through xdg-open, whose answer tells whether it started: at once when it
// found nothing to start it with, not at all while the program it started runs.
TEST(QtDialogHostTest, OpeningAFileTellsWhetherTheOpenerStartedSomething) {
    const struct {
        const char* opener;
        FileOpening expected;
    } cases[] = {
        {"exit 0", FileOpening::Started},
        {"exit 3", FileOpening::Failed},
        {"/bin/sleep 3", FileOpening::Started},
        {nullptr, FileOpening::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opener ? c.opener : "no opener");
        TempDir bin;
        if (c.opener) {
            bin.WriteFile("xdg-open", std::string("#!/bin/sh\n") + c.opener + "\n");
            std::filesystem::permissions(bin.Path() / "xdg-open", std::filesystem::perms::owner_all);
        }
        const ScopedEnv path("PATH", bin.Path().string());
        EXPECT_EQ(CreateTopLevelDialogHost()->OpenFile("/tmp/setup.sh"), c.expected);
    }
}

}  // namespace
