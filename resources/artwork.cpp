#include "resources/artwork.h"

#include <QtGlobal>

void initArtwork()
{
    Q_INIT_RESOURCE(artwork);
}
