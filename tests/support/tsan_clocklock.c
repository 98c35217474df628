/* Under ThreadSanitizer only (make tsan): its runtime does not see
 * pthread_mutex_clocklock, which std::timed_mutex's try_lock_for uses, and
 * would report every such lock's unlock as an unlock of an unlocked mutex.
 * The lock goes through pthread_mutex_timedlock, which it sees, at the same
 * deadline on the system clock. */
#define _GNU_SOURCE
#include <pthread.h>
#include <time.h>

int pthread_mutex_clocklock(pthread_mutex_t *mutex, clockid_t clock, const struct timespec *deadline) {
  if (clock == CLOCK_REALTIME) return pthread_mutex_timedlock(mutex, deadline);
  struct timespec now, real, at;
  clock_gettime(clock, &now);
  clock_gettime(CLOCK_REALTIME, &real);
  long long left = (long long)(deadline->tv_sec - now.tv_sec) * 1000000000LL + (deadline->tv_nsec - now.tv_nsec);
  if (left < 0) left = 0;
  left += real.tv_nsec;
  at.tv_sec = real.tv_sec + (time_t)(left / 1000000000LL);
  at.tv_nsec = (long)(left % 1000000000LL);
  return pthread_mutex_timedlock(mutex, &at);
}
