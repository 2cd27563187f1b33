#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvalo::platform {

// One topic of a help file: its name (what links and jumps use), its title
// and its HTML (the heading included).
struct HelpTopic {
    std::string name;
    std::string title;
    std::string html;
};

struct HelpBook {
    std::string style;  // the file's <style> sheet, shared by every topic
    std::vector<HelpTopic> topics;
    // The topic named `name` (case-insensitive), or null.
    const HelpTopic* find(std::string_view name) const;
};

// A help file is one HTML page; each `<h1 id="Name">Title</h1>` starts a topic
// that runs to the next one or to </body>. Links between topics are "#Name".
// Text before the first topic is not shown; a file without topics gives none.
HelpBook parseHelpBook(std::string_view html);

}  // namespace corvalo::platform
