#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// An instrument's option store: a factory default, a permanent copy (what survives a reboot) and a
// working copy (what set-option changes and get-option reports) for every id the instrument knows.
// Not thread-safe: its owner guards it.
class SimOptionStore
{
public:
    using Bytes = std::vector<uint8_t>;

    // Makes `id` known with `factoryDefault` in all three copies.
    void define(uint32_t id, const Bytes& factoryDefault);
    // Forgets `id` entirely (firmware that never knew it).
    void forget(uint32_t id);
    bool knows(uint32_t id) const;

    std::optional<Bytes> working(uint32_t id) const;
    std::optional<Bytes> permanent(uint32_t id) const;
    // Changes the working copy; false (and nothing changes) for an unknown id.
    bool set(uint32_t id, const Bytes& value);
    // Changes working and permanent copy at once, as production would have left them.
    bool setStored(uint32_t id, const Bytes& value);

    void commit() { m_permanent = m_working; }
    void revert() { m_working = m_permanent; }
    void factoryReset();
    bool hasUncommittedChanges() const { return m_working != m_permanent; }
    size_t size() const { return m_working.size(); }

private:
    std::map<uint32_t, Bytes> m_defaults;
    std::map<uint32_t, Bytes> m_permanent;
    std::map<uint32_t, Bytes> m_working;
};
