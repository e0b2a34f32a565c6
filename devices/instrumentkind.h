#pragma once

#include "options/storageidcatalogue.h"

#include <QString>
#include <QtGlobal>

#include <vector>

// Everything the tool knows of one instrument kind, in one row of one table: how the discovery
// recognises it, what it is called and shown as, which options it keeps and which panels the pages host
// for it. A kind without behaviour of its own is served by a GenericDevice built from its row alone.
struct InstrumentKind
{
    // The device class that serves a kind: only kinds with behaviour of their own have one.
    enum class Model
    {
        Generic,
        ControlUnit,
        AcousticSensor,
    };
    // The panel a page hosts for a kind; the user interface maps each to a widget.
    enum class Panel
    {
        None,
        ControlUnit,
        AcousticSensor,
        Locator,
        Emitter,
        UpdateOnly,
    };

    quint32 usbId;         // (vendor << 16) | product the discovery recognises the kind by
    quint32 reportedUsbId; // BaseDevice::usbId(): the second-generation sensor answers as the first
    const char* key;       // names the kind in snapshot files and on the command line
    const char* name;      // English; translated in the context "BaseDevice" where it is shown
    const char* picture;   // resource path, loaded by the user interface
    const char* foundLine; // the debug line the discovery writes when it finds one
    StorageIdCatalogue::Family family;
    Model model;
    Panel productionPanel;
    Panel servicePanel;

    // Every kind, in the order lists name them.
    static const std::vector<InstrumentKind>& all();
    // The kind recognised by `usbId`, or by its key; null for none.
    static const InstrumentKind* find(quint32 usbId);
    static const InstrumentKind* findKey(const QString& key);
};
