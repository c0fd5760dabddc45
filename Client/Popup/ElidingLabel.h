#pragma once

#include <QLabel>
#include <QString>

// A value of a window with a fixed layout (a printer, document or user name,
// a balance): each line of a text too wide for the label is cut with "…",
// and the label's tooltip then holds the whole text. text() stays the whole
// text. setText hides QLabel's, so set the text through this class.
class ElidingLabel : public QLabel {
public:
    explicit ElidingLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    // What the label shows, line by line.
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void mUpdateToolTip();
};
