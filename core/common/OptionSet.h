#pragma once

#include <cstdint>
#include <initializer_list>

// A set of numbered options 0 to 39, held in five bytes. One set travels from object to object
// through the create, load, save and file-name operations of records, charts and lists; each
// operation reads the members it knows, and says which where it reads them.
class TOptionSet {
public:
    static constexpr int MemberCount = 40;
    static constexpr int ByteCount = 5;

    constexpr TOptionSet() = default;
    constexpr TOptionSet(std::initializer_list<int> members) {
        for (int m : members)
            Include(m);
    }

    constexpr bool Has(int member) const {
        return InRange(member) && (Bits & (std::uint64_t{1} << member)) != 0;
    }
    constexpr TOptionSet With(int member) const {
        TOptionSet copy = *this;
        copy.Include(member);
        return copy;
    }
    constexpr TOptionSet Without(int member) const {
        TOptionSet copy = *this;
        copy.Exclude(member);
        return copy;
    }
    constexpr void Include(int member) {
        if (InRange(member))
            Bits |= std::uint64_t{1} << member;
    }
    constexpr void Exclude(int member) {
        if (InRange(member))
            Bits &= ~(std::uint64_t{1} << member);
    }
    constexpr bool IsEmpty() const { return Bits == 0; }

    // The five stored bytes: member n is bit n % 8 of byte n / 8.
    constexpr std::uint8_t Byte(int index) const {
        return (index < 0 || index >= ByteCount) ? 0 : static_cast<std::uint8_t>(Bits >> (8 * index));
    }
    static constexpr TOptionSet FromBytes(const std::uint8_t (&bytes)[ByteCount]) {
        TOptionSet set;
        for (int i = 0; i < ByteCount; ++i)
            set.Bits |= std::uint64_t{bytes[i]} << (8 * i);
        return set;
    }

    friend constexpr bool operator==(const TOptionSet&, const TOptionSet&) = default;

private:
    static constexpr bool InRange(int member) { return member >= 0 && member < MemberCount; }
    std::uint64_t Bits = 0;
};
