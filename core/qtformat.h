#pragma once

#include <QByteArray>
#include <QString>

#include <fmt/format.h>

// Lets log calls pass Qt strings straight to fmt format strings ("{}").
template <> struct fmt::formatter<QString> : fmt::formatter<fmt::string_view>
{
    template <typename FormatContext>
    auto format(const QString& text, FormatContext& ctx) const -> decltype(ctx.out())
    {
        const QByteArray utf8 = text.toUtf8();
        return fmt::formatter<fmt::string_view>::format(
            fmt::string_view(utf8.constData(), size_t(utf8.size())), ctx);
    }
};

template <> struct fmt::formatter<QByteArray> : fmt::formatter<fmt::string_view>
{
    template <typename FormatContext>
    auto format(const QByteArray& bytes, FormatContext& ctx) const -> decltype(ctx.out())
    {
        return fmt::formatter<fmt::string_view>::format(
            fmt::string_view(bytes.constData(), size_t(bytes.size())), ctx);
    }
};
