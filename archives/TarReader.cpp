// Placeholder until this reader is written: the format is never recognised.
#include "archives/internal/FormatReader.h"

FormatResult ReadTar(TArchiveBuilder&) { return FormatResult::Declined; }
FormatResult ReadGzip(TArchiveBuilder&) { return FormatResult::Declined; }
FormatResult ReadBzip2(TArchiveBuilder&) { return FormatResult::Declined; }
