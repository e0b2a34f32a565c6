#pragma once

#include <QKeySequence>
#include <QString>
#include <QToolButton>

// A tool button that can hide its label and still names itself in its tooltip. The tooltip is rebuilt
// as rich text from the label (the shown one, or the hidden one when none is shown), the shortcut and
// the what's-this help whenever one of them changes through these operations.
class ToolButton : public QToolButton
{
    Q_OBJECT

public:
    explicit ToolButton(QWidget* parent = nullptr);

    // Sets the label; while the label is hidden, the hidden one. The shortcut survives the change.
    void setLabel(const QString& label);
    QString label() const;
    void setButtonShortcut(const QKeySequence& shortcut);
    void setWhatsThisHelp(const QString& help);
    // Hiding moves the shown label into the hidden one; showing puts a non-empty hidden label back.
    void setLabelVisible(bool visible);
    bool isLabelVisible() const { return !m_labelHidden; }

    // The tooltip for the three pieces; an empty piece is left out.
    static QString toolTipFor(const QString& label, const QKeySequence& shortcut, const QString& help);

private:
    void updateToolTip();

    QString m_hiddenLabel;
    bool m_labelHidden = false;
};
