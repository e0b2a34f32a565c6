#pragma once

#include "sim/siminstrument.h"

#include <optional>

// The bare update-only circuit board (0x2952:0xFFFF): identity, log and firmware receiver only. Its base
// firmware decides what it becomes: an image carrying kKindTag followed by "VVVV:PPPP:TYPE" (hexadecimal
// vendor and product, the device type text; ended by a NUL byte) makes the board, once verified and
// restarted, enumerate as that vendor:product with that kind's options and device type. The chip, its
// serials and its log stay.
class SimUpdateOnlyBoard : public SimInstrument
{
public:
    static constexpr const char* kKindTag = "SIM-BOARD-KIND:";

    explicit SimUpdateOnlyBoard(SimFirmware firmware = SimFirmware::Current);

protected:
    void onImageVerified(const Bytes& image) override;
    void onReboot() override;

private:
    struct Becoming
    {
        uint16_t vendor = 0;
        uint16_t product = 0;
        std::string deviceType;
    };
    std::optional<Becoming> m_becoming;
};
