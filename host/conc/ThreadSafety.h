// Annotations for clang's thread-safety analysis (-Wthread-safety): which object is a
// lock, which calls take and release it, and which fields it guards. Other compilers
// see nothing.
#pragma once

#if defined(__clang__)
#define OX_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define OX_THREAD_ANNOTATION(x)
#endif

#define OX_CAPABILITY(name) OX_THREAD_ANNOTATION(capability(name))
#define OX_SCOPED_CAPABILITY OX_THREAD_ANNOTATION(scoped_lockable)
#define OX_GUARDED_BY(lock) OX_THREAD_ANNOTATION(guarded_by(lock))
#define OX_ACQUIRE(...) OX_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define OX_ACQUIRE_SHARED(...) OX_THREAD_ANNOTATION(acquire_shared_capability(__VA_ARGS__))
#define OX_RELEASE(...) OX_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define OX_RELEASE_SHARED(...) OX_THREAD_ANNOTATION(release_shared_capability(__VA_ARGS__))
#define OX_RETURN_CAPABILITY(lock) OX_THREAD_ANNOTATION(lock_returned(lock))
#define OX_REQUIRES(...) OX_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define OX_REQUIRES_SHARED(...) OX_THREAD_ANNOTATION(requires_shared_capability(__VA_ARGS__))
