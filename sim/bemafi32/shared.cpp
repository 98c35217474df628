// The Bematech answer conventions and the calls this library shares with
// CONVECF, compiled into this library.
#include "bematech/conventions.cpp"
#include "bematech/fields.cpp"
#include "bematech/operations.cpp"
