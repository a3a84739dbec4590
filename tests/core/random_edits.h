#pragma once

#include <random>
#include <string>

namespace qf::test {

// A page made from a layout text with a title, a background colour and a margin.
std::string PageFromLayout(const std::string& layout_text);

// One random edit of the page as the editor's commands make them: a
// component of a random kind inserted, a component or area deleted or its
// source changed, a line break, raw HTML, a platform, page properties. The
// edit goes to a random area (now and then to one the page lacks, which is
// refused with CommandError and leaves `page` as it was).
void RandomEdit(std::mt19937& random, std::string& page);

} // namespace qf::test
