#include "platform/help_topics.h"

#include <algorithm>
#include <cctype>

namespace corvalo::platform {

namespace {

constexpr std::string_view kTopicStart = "<h1 id=\"";

bool sameText(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// "Fonts <em>and</em> help" -> "Fonts and help"
std::string withoutTags(std::string_view html) {
    std::string out;
    bool inTag = false;
    for (char c : html) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            out += c;
    }
    return out;
}

std::string_view between(std::string_view text, std::string_view open, std::string_view close) {
    const size_t a = text.find(open);
    if (a == std::string_view::npos) return {};
    const size_t from = a + open.size();
    const size_t b = text.find(close, from);
    if (b == std::string_view::npos) return {};
    return text.substr(from, b - from);
}

}  // namespace

const HelpTopic* HelpBook::find(std::string_view name) const {
    for (const auto& t : topics) {
        if (sameText(t.name, name)) return &t;
    }
    return nullptr;
}

HelpBook parseHelpBook(std::string_view html) {
    HelpBook book;
    book.style = std::string(between(html, "<style>", "</style>"));
    size_t end = html.find("</body>");
    if (end == std::string_view::npos) end = html.size();
    size_t at = html.find(kTopicStart);
    while (at != std::string_view::npos && at < end) {
        const size_t nameFrom = at + kTopicStart.size();
        const size_t nameTo = html.find('"', nameFrom);
        const size_t headClose = html.find("</h1>", nameFrom);
        if (nameTo == std::string_view::npos || headClose == std::string_view::npos) break;
        size_t next = html.find(kTopicStart, headClose);
        if (next == std::string_view::npos || next > end) next = end;
        const size_t titleFrom = html.find('>', nameTo);
        HelpTopic topic;
        topic.name = std::string(html.substr(nameFrom, nameTo - nameFrom));
        if (titleFrom != std::string_view::npos && titleFrom < headClose) {
            topic.title = withoutTags(html.substr(titleFrom + 1, headClose - titleFrom - 1));
        }
        topic.html = std::string(html.substr(at, next - at));
        book.topics.push_back(std::move(topic));
        at = next == end ? std::string_view::npos : next;
    }
    return book;
}

}  // namespace corvalo::platform
