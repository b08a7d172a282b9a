#pragma once

// The application-wide store of the local FAQ data; start-up fills it once from the cache file and
// the support form reads its subjects.
class CFAQStore {
public:
    // The store, created empty on the first call.
    static CFAQStore* Instance();
    // Deletes the store; a later Instance starts an empty one.
    static void DestroyInstance();

    // Fills the store from the local cache file; false when there is none to read. Nothing reads the
    // cache yet, so the store stays empty.
    bool LoadCache();

private:
    CFAQStore() = default;

    static CFAQStore* s_pInstance;
};
