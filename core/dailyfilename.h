#pragma once

#include <spdlog/common.h>

#include <ctime>

// File names for the daily log: base "…/Tool.log" opened on 5 March 2024 at 09:07 becomes
// "…/Tool_2024-03-05_09-07.log". Used as the file-name rule of spdlog's daily file sink.
struct DailyFileName
{
    static spdlog::filename_t calc_filename(const spdlog::filename_t& filename, const std::tm& now);
};
