#include "platform/geocoding/geocoder.h"

#include <cmath>
#include <mutex>
#include <numbers>

#include "platform/foundation/string_object.h"

namespace geo {

namespace {

// The mean earth radius, in metres.
constexpr double kEarthRadius = 6371008.8;

// Never destroyed: geocoding threads may still ask while the process exits.
struct Shared {
  std::mutex mutex;
  GeocoderFactory factory;  // guarded by mutex
};
Shared& shared() {
  static auto* const state = new Shared;
  return *state;
}

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

fnd::Ref<Location> Location::create(double latitude, double longitude) {
  return fnd::Ref<Location>::adopt(new Location(latitude, longitude));
}

double Location::distanceFromLocation(const Location& other) const noexcept {
  // Haversine: accurate for short and long distances alike.
  const double dLatitude = radians(other.m_latitude - m_latitude);
  const double dLongitude = radians(other.m_longitude - m_longitude);
  const double a = std::pow(std::sin(dLatitude / 2), 2) + std::cos(radians(m_latitude)) *
                                                              std::cos(radians(other.m_latitude)) *
                                                              std::pow(std::sin(dLongitude / 2), 2);
  return 2 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

bool Location::isEqual(const fnd::Object& other) const {
  const auto* that = dynamic_cast<const Location*>(&other);
  return that && that->m_latitude == m_latitude && that->m_longitude == m_longitude;
}

fnd::Ref<Placemark> Placemark::create(fnd::Ref<Location> location, fnd::Ref<fnd::String> name) {
  return fnd::Ref<Placemark>::adopt(new Placemark(std::move(location), std::move(name)));
}

bool Placemark::isEqual(const fnd::Object& other) const {
  const auto* that = dynamic_cast<const Placemark*>(&other);
  return that && fnd::objectsEqual(that->m_location.get(), m_location.get()) &&
         fnd::objectsEqual(that->m_name.get(), m_name.get());
}

void setGeocoderFactory(GeocoderFactory newFactory) {
  std::lock_guard lock(shared().mutex);
  shared().factory = std::move(newFactory);
}

bool isGeocodingAvailable() {
  std::lock_guard lock(shared().mutex);
  return static_cast<bool>(shared().factory);
}

std::shared_ptr<Geocoder> createGeocoder() {
  GeocoderFactory current;
  {
    std::lock_guard lock(shared().mutex);
    current = shared().factory;
  }
  return current ? current() : nullptr;
}

}  // namespace geo
