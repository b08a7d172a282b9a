#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <string>

// Turns a dialog's label into a web link: underlined text in link colours, a hand cursor, hover
// highlighting, and a click that opens its address in the browser.
class CMyHyperLink : public QObject {
    Q_OBJECT

public:
    CMyHyperLink() = default;

    // Read only when the link is clicked, so it may be set before or after the label is bound.
    void SetURL(const std::string& url) { m_strURL = url; }

    // Binds the label: it reports clicks, takes an underlined copy of its font, the hand cursor and
    // the link colour.
    void SubclassLabel(QLabel& label);

    // The colour the text has now: visited wins over hover, hover over the plain link colour.
    QColor TextColor() const;
    bool IsOver() const { return m_bOver; }
    bool IsVisited() const { return m_bVisited; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnMouseMove(const QPoint& point);
    void OnLeave();
    void OnClicked();
    void Redraw();

    QPointer<QLabel> m_pLabel;
    QFont m_font;
    bool m_bOver = false;
    bool m_bVisited = false;
    std::string m_strURL;
    QColor m_crHover{255, 0, 0};
    QColor m_crLink{0, 0, 255};
    QColor m_crVisited{5, 34, 143};
};
