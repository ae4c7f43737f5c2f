#include "infostartup.h"

#include "marcindexparams.h"
#include "readercaptions.h"

StartupLoads LIB_InformationStartupLoads()
{
    return {&LIB_LoadMarcIndexParameters,
            [] { ReaderCaptions::instance().load(ReaderCaptions::defaultFile()); }};
}
