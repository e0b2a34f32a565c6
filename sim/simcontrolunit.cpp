#include "sim/simcontrolunit.h"

#include "options/storageids_controlunit.h"
#include "sim/simdefaults.h"

using namespace SimProtocol;

SimControlUnit::SimControlUnit(SimFirmware firmware, Languages languages)
    : SimInstrument("tymbrel+ control unit", SimUsbIdentity(0x1E84, 0x3000), firmware)
{
    defineOptions(SimDefaults::controlUnit());
    defineIdentity("PCB-CU-0001234", "CU", "D", "TCU-21-00042");
    if (languages == Languages::BeforeBulgarian) {
        using Id = StorageIDs_ControlUnit::Options;
        for (auto id = uint32_t(Id::e_sid_cu_Option_Lang_Bulgarian);
             id <= uint32_t(Id::e_sid_cu_Option_Lang_Language9); ++id) {
            optionStore().forget(id);
        }
    }
}

bool SimControlUnit::handleKindCommand(uint32_t command, const Bytes& packet, Clock::time_point now)
{
    if (command != ReadDataSets && command != ClearDataSets) {
        return false;
    }
    if (wordAt(packet, 4) != DataSetsArgument || packet.size() < 8) {
        return true; // not the request the firmware knows: ignored
    }
    if (command == ReadDataSets) {
        queueStream(command, m_image, DataSetsEnd, now);
    } else {
        m_image = m_emptyImage;
        ++m_clearCount;
    }
    return true;
}

void SimControlUnit::setDatasetStoreImage(const Bytes& image)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_image = image;
}

void SimControlUnit::setDatasetStoreImage(const QByteArray& image)
{
    setDatasetStoreImage(toBytes(image));
}

SimInstrument::Bytes SimControlUnit::datasetStoreImage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_image;
}

void SimControlUnit::setEmptyDatasetStoreImage(const Bytes& image)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_emptyImage = image;
}

int SimControlUnit::datasetClearCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clearCount;
}
