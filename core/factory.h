#pragma once
// The matrix as it leaves the factory.

namespace mc {

// Its network address, used until another is stored.
inline constexpr char kFactoryAddress[] = "192.168.1.200";

} // namespace mc
