#pragma once

namespace store {
class Collection;
}

namespace app {

// At start: a database that is missing, empty, unreadable, cut short or
// holding stray lines, beside a backup that reads whole, is told to the user
// with the offer to restore that backup. The damaged file is kept aside,
// never deleted. Reloads the collection when it restored.
void offerRestoreOfDamagedCollection(store::Collection& collection);

} // namespace app
