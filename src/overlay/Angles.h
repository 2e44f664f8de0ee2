#pragma once

// π/180, written out so that every angle converts with exactly the same factor.
constexpr double radiansPerDegree = 0.017453292519943295;
