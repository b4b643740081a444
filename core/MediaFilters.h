#pragma once

#include <QString>

// The catalogue of media types that the Open and Add dialogs offer, as a
// filter text. The Add dialog's row for movie files also names "*.m4a;" in
// its description (its pattern still leaves .m4a to the row after it).
QString mediaFilterText(bool movieRowNamesM4a);
