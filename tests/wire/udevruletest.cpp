// The udev rule file that the package installs and "service-software --udev-rule" prints, read the
// way udev reads it: every line that is not a comment is a comma-separated list of KEY==value,
// KEY="value" or KEY+="value" pairs. The checker is run on the file itself and on broken copies of it,
// so that each of its checks is seen to catch what it is there for.
#include "testfiles.h"
#include "usb/connectiondoctor.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Pair
{
    QString key; // with its attribute, e.g. ATTR{idVendor}
    QString op;  // ==, !=, =, +=, -=, :=
    QString value;
};

// The pairs of one rule line; false when something on it is not a well-formed pair.
bool parseRuleLine(const QString& line, QVector<Pair>* pairs)
{
    static const QRegularExpression pair(
        QStringLiteral(R"re(\s*([A-Z_]+(?:\{[^}]+\})?)\s*(==|!=|\+=|-=|:=|=)\s*"([^"]*)"\s*(,|$))re"));
    int at = 0;
    while (at < line.size()) {
        const QRegularExpressionMatch m =
            pair.match(line, at, QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
        if (!m.hasMatch() || m.capturedLength() == 0) {
            return false;
        }
        pairs->append({m.captured(1), m.captured(2), m.captured(3)});
        at = m.capturedEnd();
        if (m.captured(4).isEmpty()) {
            break; // end of line
        }
    }
    return at == line.size() && !pairs->isEmpty();
}

bool has(const QVector<Pair>& pairs, const QString& key, const QString& op, const QString& value)
{
    return std::any_of(pairs.cbegin(), pairs.cend(),
                       [&](const Pair& p) { return p.key == key && p.op == op && p.value == value; });
}

// Everything wrong with `text` as the rule for our two vendors; empty when nothing is.
QStringList ruleProblems(const QString& text)
{
    QStringList problems;
    QSet<QString> vendors;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines.at(n).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const QString where = QStringLiteral("line %1: ").arg(n + 1);
        QVector<Pair> pairs;
        if (!parseRuleLine(line, &pairs)) {
            problems << where + QStringLiteral("cannot parse");
            continue;
        }
        if (!has(pairs, QStringLiteral("SUBSYSTEM"), QStringLiteral("=="), QStringLiteral("usb"))) {
            problems << where + QStringLiteral("no SUBSYSTEM==\"usb\"");
        }
        if (!has(pairs, QStringLiteral("TAG"), QStringLiteral("+="), QStringLiteral("uaccess"))) {
            problems << where + QStringLiteral("no TAG+=\"uaccess\"");
        }
        int vendorMatches = 0;
        for (const Pair& p : pairs) {
            if (p.key == QLatin1String("ATTR{idVendor}") && p.op == QLatin1String("==")) {
                vendors.insert(p.value);
                ++vendorMatches;
            }
            if (p.key == QLatin1String("MODE")) {
                bool octal = false;
                const int mode = p.value.toInt(&octal, 8);
                if (!octal || (mode & 0002) != 0) {
                    problems << where + QStringLiteral("world-writable MODE=\"%1\"").arg(p.value);
                }
            }
        }
        if (vendorMatches != 1) {
            problems << where + QStringLiteral("%1 idVendor matches instead of one").arg(vendorMatches);
        }
    }
    for (const char* vendor : {"1e84", "2952"}) {
        if (!vendors.contains(QLatin1String(vendor))) {
            problems << QStringLiteral("vendor %1 not covered").arg(QLatin1String(vendor));
        }
    }
    return problems;
}

QString ruleFile()
{
    return QString::fromUtf8(readFile(QStringLiteral(SERVICE_UDEV_RULE_FILE)));
}

TEST(UdevRule, TheFileCoversBothVendorsForTheSeatUserOnly)
{
    const QString text = ruleFile();
    ASSERT_FALSE(text.isEmpty()) << SERVICE_UDEV_RULE_FILE;
    EXPECT_EQ(ruleProblems(text), QStringList());
    // What the tool prints is the installed file, byte for byte.
    EXPECT_EQ(ConnectionDoctor::udevRule(), text);
    EXPECT_TRUE(QStringLiteral(SERVICE_UDEV_RULE_FILE).endsWith(ConnectionDoctor::udevRuleFileName()));
}

TEST(UdevRule, TheCheckerCatchesEachBrokenCopy)
{
    struct Case
    {
        const char* from;
        const char* to;
        const char* problem;
    };
    const Case cases[] = {
        {"MODE=\"0660\"", "MODE=\"0666\"", "world-writable MODE=\"0666\""},
        {"MODE=\"0660\"", "MODE=\"0662\"", "world-writable"},
        {"MODE=\"0660\"", "MODE=\"rw\"", "world-writable"},
        {"TAG+=\"uaccess\"", "GROUP=\"plugdev\"", "no TAG+=\"uaccess\""},
        {"TAG+=\"uaccess\"", "TAG=\"uaccess\"", "no TAG+=\"uaccess\""},
        {"SUBSYSTEM==\"usb\"", "SUBSYSTEM==\"tty\"", "no SUBSYSTEM==\"usb\""},
        {"ATTR{idVendor}==\"2952\"", "ATTR{idVendor}==\"2953\"", "vendor 2952 not covered"},
        // An assignment where a match belongs would give every USB device to the seat user.
        {"ATTR{idVendor}==\"1e84\"", "ATTR{idVendor}=\"1e84\"", "0 idVendor matches"},
        {"\"usb\", ATTR", "\"usb\" ATTR", "cannot parse"},
        {"==\"1e84\"", "==1e84", "cannot parse"},
    };
    const QString original = ruleFile();
    ASSERT_FALSE(original.isEmpty());
    for (const Case& c : cases) {
        QString broken = original;
        broken.replace(QLatin1String(c.from), QLatin1String(c.to));
        const QString problems = ruleProblems(broken).join(QStringLiteral("; "));
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to + ": " + problems.toStdString());
        EXPECT_TRUE(problems.contains(QLatin1String(c.problem)));
    }
}

} // namespace
