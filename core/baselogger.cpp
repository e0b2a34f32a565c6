#include "baselogger.h"

#include "loggerfactory.h"

#include <spdlog/spdlog.h>

BaseLogger::BaseLogger(const QString& name) : m_logger(LoggerFactory::instance()->logger(name)) {}

BaseLogger::~BaseLogger()
{
    m_logger->flush();
    spdlog::drop(m_logger->name());
}
