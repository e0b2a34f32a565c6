#pragma once

#include "qtformat.h"

#include <QString>

#include <spdlog/logger.h>

#include <memory>

// Mix-in that gives a class its own named logger. Derive from it next to the Qt base:
//     class UsbDevice : public QObject, public BaseLogger
// The name is dropped from the logger registry when this object goes, so that a later object of the
// same name starts with a fresh logger; other holders of the old logger keep writing through it.
class BaseLogger
{
public:
    explicit BaseLogger(const QString& name);
    virtual ~BaseLogger();

    BaseLogger(const BaseLogger&) = delete;
    BaseLogger& operator=(const BaseLogger&) = delete;

    std::shared_ptr<spdlog::logger> logger() const { return m_logger; }

private:
    std::shared_ptr<spdlog::logger> m_logger;
};
