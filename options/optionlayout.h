#pragma once

#include "options/storageidcatalogue.h"

#include <QByteArray>
#include <QString>

// What the tool itself knows of the values stored under some storage ids: which ids make up an
// instrument's identity, and the fixed layouts of identity texts, switches, calibrations and locator
// calibration records. Every other id holds whatever type the option description file gives it.
// Used to refuse a value that cannot be what its id holds before it is written.
class OptionLayout
{
public:
    // The longest value one set-option packet carries: a packet of 1024 bytes less the command and id
    // words. A longer value would reach the instrument as two commands.
    static constexpr int kMaxValueBytes = 1016;

    // The general table's stored values: serials, PCB and device type, hardware revision, test results.
    // Copied onto another instrument they make it pretend to be that one.
    static bool isIdentity(quint32 id);
    // The exact length of a value of `id` on a kind of `family`; -1 when the tool fixes none.
    static int fixedSize(StorageIdCatalogue::Family family, quint32 id);
    // Why `value` cannot be stored under `id` on a kind of `family` (an id outside the kind's catalogue,
    // a length that does not fit); empty when it can. The id is named in the text.
    static QString misfit(StorageIdCatalogue::Family family, quint32 id, const QByteArray& value);
};
