#pragma once
// Product words: string resources carry upper-case placeholders for the names of the
// host application, the hardware and the vendor, replaced when a resource is loaded
// with substitution.

#include "foundation/QLXString.h"

#include <cstddef>
#include <vector>

// The ordered (pattern, replacement) pairs applied to substituted resource strings.
class ProductWordTable {
public:
    struct Pair {
        QLXString pattern;
        QLXString replacement;
        QLXString key; // the product-configuration key that describes the pair
    };

    // The module's table, built on first use with the instance that asked for it.
    static ProductWordTable& Instance(HINSTANCE instance);

    // Appends a pair. An empty default is replaced by string 0xFFFFFFFF of the instance,
    // then of the host application; the empty default stays when neither has one.
    void AddPair(HINSTANCE instance, const QLXString& pattern, const QLXString& defaultReplacement,
                 const QLXString& key = QLXString());

    // Replaces every occurrence of each pattern in table order; inserted text is not searched again.
    void Apply(QLXString& text) const;

    std::size_t Size() const { return pairs_.size(); }
    const Pair& operator[](std::size_t index) const { return pairs_[index]; }
    // Where a product configuration would be read from; the built-in defaults are used.
    const QLXString& SettingsPath() const { return settingsPath_; }

private:
    std::vector<Pair> pairs_;
    QLXString settingsPath_;
};

// Applies the module's table (building it with this instance on first use).
void ApplyProductWords(QLXString& text, HINSTANCE instance);

// The drive and folder of the host executable followed by the folder, name and extension
// of the relative path; the relative path itself when the executable's name is unknown.
QLXString ResolveHostPath(const QLXString& relative);
// The same relative to a given executable path.
QLXString ResolvePathBeside(const QLXString& executable, const QLXString& relative);
