#pragma once

#include <string>
#include <string_view>

namespace qf {

// The page a contact form's mail script shows after a successful send.
inline constexpr std::string_view kThankYouPage = "thanks.html";

// Makes the thank-you page in the project: a page of the application
// folder's first layout that says "Thank you, your message has been sent"
// and links back to the home page, kept from search engines and the
// sitemap; written through the one commit path. A page of that name that
// is there already is kept as it is. Returns its file name. Throws
// CommandError when there is no layout or the page cannot be written.
std::string MakeThankYouPage(const std::string& project_folder, const std::string& app_folder);

} // namespace qf
