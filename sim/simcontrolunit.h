#pragma once

#include "sim/siminstrument.h"

#include <QByteArray>

// The acoustic set's control unit (0x1E84:0x3000). Besides the common protocol it keeps the dataset
// store: [278][1026] streams the store image in 1024-byte packets ended by [279], [280][1026] clears
// it. Requests with another argument word are ignored, as the firmware does.
class SimControlUnit : public SimInstrument
{
public:
    // Which language options the unit's firmware has: units built before Bulgarian was added know
    // neither it nor the language slots reserved after it, and meet requests for them as their firmware
    // generation meets any unknown option.
    enum class Languages
    {
        WithBulgarian,
        BeforeBulgarian
    };

    explicit SimControlUnit(SimFirmware firmware = SimFirmware::Current,
                            Languages languages = Languages::WithBulgarian);

    // The image the unit streams; build it with the dataset store image writer.
    void setDatasetStoreImage(const Bytes& image);
    void setDatasetStoreImage(const QByteArray& image);
    Bytes datasetStoreImage() const;
    // What the store holds after a clear (an empty store; no bytes unless set).
    void setEmptyDatasetStoreImage(const Bytes& image);
    int datasetClearCount() const;

protected:
    bool handleKindCommand(uint32_t command, const Bytes& packet, Clock::time_point now) override;

private:
    Bytes m_image;
    Bytes m_emptyImage;
    int m_clearCount = 0;
};
