#include "support/JsonTokens.h"

#include <cstring>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The code unit of a \uXXXX escape at `p` (pointing at the backslash), or -1.
int unicodeEscape(const char* p) {
    if (p[0] != '\\' || p[1] != 'u') return -1;
    int v = 0;
    for (int i = 2; i < 6; ++i) {
        const char c = p[i];
        if (!isHex(c)) return -1;
        v = v * 16 + (c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return v;
}

}  // namespace

namespace jsontokens {

std::string_view trimmed(std::string_view token) {
    while (!token.empty() && isBlank(token.back())) token.remove_suffix(1);
    return token;
}

bool isNumber(std::string_view t) {
    std::size_t i = 0;
    auto digits = [&]() {
        const std::size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        return i - start;
    };
    if (i < t.size() && t[i] == '-') ++i;
    if (i < t.size() && t[i] == '0') ++i;
    else if (digits() == 0) return false;
    if (i < t.size() && t[i] == '.') {
        ++i;
        if (digits() == 0) return false;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == t.size();
}

const char* badEscape(const char* p, const char* end, const char*& reason) {
    while (p < end) {
        p = static_cast<const char*>(std::memchr(p, '\\', static_cast<std::size_t>(end - p)));
        if (p == nullptr) return nullptr;
        switch (p[1]) {
        case '"': case '\\': case '/': case 'b': case 'f': case 'n': case 'r': case 't':
            p += 2;
            break;
        case 'u': {
            const int unit = unicodeEscape(p);
            if (unit < 0) {
                reason = "a \\u escape without four hex digits in a string";
                return p;
            }
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                reason = "a lone surrogate escape in a string";
                return p;
            }
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                const int low = unicodeEscape(p + 6);
                if (low < 0xDC00 || low > 0xDFFF) {
                    reason = "a lone surrogate escape in a string";
                    return p;
                }
                p += 6;
            }
            p += 6;
            break;
        }
        default:
            reason = "an invalid escape in a string";
            return p;
        }
    }
    return nullptr;
}

}  // namespace jsontokens
