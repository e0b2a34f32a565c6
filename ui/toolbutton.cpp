#include "ui/toolbutton.h"

ToolButton::ToolButton(QWidget* parent) : QToolButton(parent) {}

void ToolButton::setLabel(const QString& label)
{
    if (m_labelHidden) {
        m_hiddenLabel = label;
    } else {
        // QAbstractButton takes a mnemonic of the text as its shortcut and drops the one that was set.
        const QKeySequence keys = shortcut();
        setText(label);
        setShortcut(keys);
    }
    updateToolTip();
}

QString ToolButton::label() const
{
    return text().isEmpty() ? m_hiddenLabel : text();
}

void ToolButton::setButtonShortcut(const QKeySequence& keys)
{
    setShortcut(keys);
    updateToolTip();
}

void ToolButton::setWhatsThisHelp(const QString& help)
{
    setWhatsThis(help);
    updateToolTip();
}

void ToolButton::setLabelVisible(bool visible)
{
    const QKeySequence keys = shortcut();
    if (visible) {
        m_labelHidden = false;
        if (!m_hiddenLabel.isEmpty()) {
            setText(m_hiddenLabel);
            m_hiddenLabel.clear();
        }
    } else {
        m_labelHidden = true;
        if (!text().isEmpty())
            m_hiddenLabel = text();
        setText(QString());
    }
    setShortcut(keys);
    updateToolTip();
}

QString ToolButton::toolTipFor(const QString& label, const QKeySequence& shortcut, const QString& help)
{
    const QString name = label.toHtmlEscaped();
    const QString keys =
        shortcut.isEmpty() ? QString() : shortcut.toString(QKeySequence::NativeText).toHtmlEscaped();
    const bool hasName = !name.isEmpty();
    const bool hasKeys = !keys.isEmpty();
    if (help.isEmpty()) {
        if (!hasName && !hasKeys)
            return QString();
        QString cells;
        if (hasName)
            cells += QStringLiteral("<td>%1</td>").arg(name);
        if (hasName && hasKeys)
            cells += QStringLiteral("<td>&nbsp;&nbsp;</td>");
        if (hasKeys)
            cells += QStringLiteral("<td>%1</td>").arg(keys);
        return QStringLiteral("<table><tr>%1</tr></table>").arg(cells);
    }
    if (!hasName && !hasKeys)
        return help;
    if (hasName != hasKeys) {
        return QStringLiteral("<b><big>%1</big></b><br/><p align=\"justify\">%2</p>")
            .arg(hasName ? name : keys, help);
    }
    return QStringLiteral("<table width=\"100%\"><tr><td><b><big>%1</big></b></td>"
                          "<td align=\"right\"><big>(%2)</big></td></tr>"
                          "<tr><td colspan=\"2\"><p align=\"justify\">%3</p></td></tr></table>")
        .arg(name, keys, help);
}

void ToolButton::updateToolTip()
{
    setToolTip(toolTipFor(label(), shortcut(), whatsThis()));
}
