#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

#include "common/my_hyperlink.h"
#include "ui_support/url_recorder.h"

namespace {

const QColor kLink(0, 0, 255);
const QColor kHover(255, 0, 0);
const QColor kVisited(5, 34, 143);

class MyHyperLinkTest : public testing::Test {
protected:
    MyHyperLinkTest() {
        m_label = new QLabel("FAQ", &m_window);
        m_label->setGeometry(10, 10, 40, 16);
        m_link.SubclassLabel(*m_label);
        m_window.show();
    }

    void Send(QEvent::Type type, QPoint point) {
        QMouseEvent event(type, point, m_label->mapToGlobal(point), Qt::LeftButton,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_label, &event);
    }
    void MoveTo(QPoint point) { Send(QEvent::MouseMove, point); }
    void Click() {
        Send(QEvent::MouseButtonPress, {5, 5});
        Send(QEvent::MouseButtonRelease, {5, 5});
    }
    QColor Shown() const { return m_label->palette().color(QPalette::WindowText); }

    QWidget m_window;
    QLabel* m_label;
    CMyHyperLink m_link;
};

// A link from the start; hover colour while over it, the plain colour again after leaving; visited
// wins over both.
TEST_F(MyHyperLinkTest, ColourFollowsHoverAndVisitedState) {
    EXPECT_TRUE(m_label->font().underline());
    EXPECT_EQ(m_label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(Shown(), kLink);
    UrlRecorder browser("http");
    m_link.SetURL("http://127.0.0.1/service/faq.html");

    MoveTo({5, 5});
    EXPECT_EQ(Shown(), kHover);
    EXPECT_EQ(QWidget::mouseGrabber(), m_label) << "the move that leaves must still arrive";
    MoveTo({6, 6});
    EXPECT_TRUE(m_link.IsOver());
    MoveTo({100, 5});
    EXPECT_EQ(Shown(), kLink);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    MoveTo({5, 5});
    Click();
    EXPECT_EQ(Shown(), kVisited) << "visited while hovered";
    MoveTo({100, 5});
    EXPECT_EQ(Shown(), kVisited) << "visited after leaving";
    MoveTo({5, 5});
    EXPECT_EQ(Shown(), kVisited);
}

TEST_F(MyHyperLinkTest, ClickOpensTheAddressSetAtAnyTime) {
    UrlRecorder browser("http");
    Click();
    EXPECT_TRUE(browser.Opened().empty()) << "no address yet";
    EXPECT_TRUE(m_link.IsVisited());

    m_link.SetURL("http://127.0.0.1:8080/service/faq.html");
    Click();
    ASSERT_EQ(browser.Opened().size(), 1u);
    EXPECT_EQ(browser.Opened()[0], QUrl("http://127.0.0.1:8080/service/faq.html"));

    // A release outside the label is no click.
    Send(QEvent::MouseButtonRelease, {100, 5});
    EXPECT_EQ(browser.Opened().size(), 1u);
}

}  // namespace
