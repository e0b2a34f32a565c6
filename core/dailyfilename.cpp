#include "dailyfilename.h"

#include <spdlog/details/file_helper.h>
#include <spdlog/fmt/fmt.h>

spdlog::filename_t DailyFileName::calc_filename(const spdlog::filename_t& filename, const std::tm& now)
{
    spdlog::filename_t base;
    spdlog::filename_t extension;
    std::tie(base, extension) = spdlog::details::file_helper::split_by_extension(filename);
    return fmt::format(SPDLOG_FILENAME_T("{}_{:04d}-{:02d}-{:02d}_{:02d}-{:02d}{}"), base, now.tm_year + 1900,
                       now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, extension);
}
