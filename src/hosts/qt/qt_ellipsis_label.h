#pragma once

#include <QLabel>

// A label for a text of any length in a room of a few lines: it wraps the text at word ends, as a
// Windows label does, and where the lines do not hold all of it, the last one ends after a word with
// "…" and the whole text shows as the tooltip. text() stays the whole text.
class QtEllipsisLabel final : public QLabel {
public:
    explicit QtEllipsisLabel(QWidget* parent);

    // The text as the label shows it.
    QString ShownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
