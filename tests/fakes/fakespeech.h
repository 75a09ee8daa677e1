#include "fakes/fakeplatform.h" // IWYU pragma: export
