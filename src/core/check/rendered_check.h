#pragma once

#include "check/html_check.h"

namespace qf::check {

// Reads the page as visitors receive it (rendered, then parsed again as a
// browser parses it) and reports what the HTML code of a component or an
// area breaks there:
// - an area that the rendered page shows inside another area, or not at all
//   (an element or a comment left open takes it in);
// - places the rendered page is read differently from how it was written:
//   it is read by today's rules (standards mode), the page file by older
//   ones, so "<table>" inside "<p>", a stray end tag or misnested formatting
//   that the page file got away with changes the published page.
// The page format's own quirks (areas after "</body>", the spacer pictures,
// the transitional doctype) are gone from the rendered page, so they are
// never findings of it.
void CheckRenderedPage(PageCheck& check);

} // namespace qf::check
