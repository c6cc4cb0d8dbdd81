// Zero-filled operator new over the engine's allocator; filled in with the
// memory manager.
