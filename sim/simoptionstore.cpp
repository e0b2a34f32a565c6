#include "sim/simoptionstore.h"

void SimOptionStore::define(uint32_t id, const Bytes& factoryDefault)
{
    m_defaults[id] = factoryDefault;
    m_permanent[id] = factoryDefault;
    m_working[id] = factoryDefault;
}

void SimOptionStore::forget(uint32_t id)
{
    m_defaults.erase(id);
    m_permanent.erase(id);
    m_working.erase(id);
}

bool SimOptionStore::knows(uint32_t id) const
{
    return m_working.count(id) != 0;
}

std::optional<SimOptionStore::Bytes> SimOptionStore::working(uint32_t id) const
{
    const auto it = m_working.find(id);
    if (it == m_working.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<SimOptionStore::Bytes> SimOptionStore::permanent(uint32_t id) const
{
    const auto it = m_permanent.find(id);
    if (it == m_permanent.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool SimOptionStore::set(uint32_t id, const Bytes& value)
{
    const auto it = m_working.find(id);
    if (it == m_working.end()) {
        return false;
    }
    it->second = value;
    return true;
}

bool SimOptionStore::setStored(uint32_t id, const Bytes& value)
{
    if (!set(id, value)) {
        return false;
    }
    m_permanent[id] = value;
    return true;
}

void SimOptionStore::factoryReset()
{
    m_permanent = m_defaults;
    m_working = m_defaults;
}
