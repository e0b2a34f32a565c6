#pragma once

#include "app/cli/clicontext.h"
#include "measurements/vectarisdataset.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>

class ControlUnit;

// The control unit's measurement series from the command line: list them, export some or all as KML,
// GPX or CSV (the window's writers), or delete them all. Series are numbered from 1 in the order the
// unit keeps them, as the list shows them.
class DatasetCommands
{
    Q_DECLARE_TR_FUNCTIONS(DatasetCommands)

public:
    explicit DatasetCommands(const CliContext& context);

    int list(ControlUnit* unit);
    int exportTo(ControlUnit* unit);
    int clear(ControlUnit* unit);

    // {"number": 1, "name": "...", "title": "...", "date": "...", "points": n, "pointsWithPosition": m}
    static QJsonObject datasetJson(int number, const VectarisDataset& dataset);

private:
    // Reads every series from the unit; false with the report failed.
    bool fetch(ControlUnit* unit, QList<VectarisDataset>* datasets);

    CliContext m_context;
};
