// Placeholder until this reader is written: the format is never recognised.
#include "archives/internal/FormatReader.h"

FormatResult ReadRar(TArchiveBuilder&) { return FormatResult::Declined; }
