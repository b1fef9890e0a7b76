// Placeholder until this reader is written: the format is never recognised.
#include "archives/internal/FormatReader.h"

FormatResult ReadZip(TArchiveBuilder&) { return FormatResult::Declined; }
FormatResult ReadSevenZip(TArchiveBuilder&) { return FormatResult::Declined; }
