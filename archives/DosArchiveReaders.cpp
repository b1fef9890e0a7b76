// Placeholder until this reader is written: the format is never recognised.
#include "archives/internal/FormatReader.h"

FormatResult ReadLha(TArchiveBuilder&) { return FormatResult::Declined; }
FormatResult ReadArj(TArchiveBuilder&) { return FormatResult::Declined; }
FormatResult ReadAce(TArchiveBuilder&) { return FormatResult::Declined; }
FormatResult ReadHa(TArchiveBuilder&) { return FormatResult::Declined; }
