#pragma once
// Geocoding: locations on the earth, placemarks, and the geocoder that turns a
// postal address into placemarks. The application ships no geocoder; a
// program or test installs a factory to provide one. Thread-safe.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/containers.h"
#include "platform/foundation/error.h"
#include "platform/foundation/string_object.h"

namespace geo {

inline constexpr std::string_view kErrorDomain = "kCLErrorDomain";
// The error code of a geocoding request that failed for want of a network.
inline constexpr long kErrorNetwork = 2;
inline constexpr long kErrorGeocodeFoundNoResult = 8;

class Location final : public fnd::Object {
 public:
  static fnd::Ref<Location> create(double latitude, double longitude);
  double latitude() const noexcept { return m_latitude; }
  double longitude() const noexcept { return m_longitude; }
  // Great-circle distance in metres.
  double distanceFromLocation(const Location& other) const noexcept;
  const char* className() const override { return "CLLocation"; }
  bool isEqual(const fnd::Object& other) const override;

 private:
  Location(double latitude, double longitude) : m_latitude(latitude), m_longitude(longitude) {}
  double m_latitude;
  double m_longitude;
};

class Placemark final : public fnd::Object {
 public:
  static fnd::Ref<Placemark> create(fnd::Ref<Location> location, fnd::Ref<fnd::String> name);
  const fnd::Ref<Location>& location() const noexcept { return m_location; }
  const fnd::Ref<fnd::String>& name() const noexcept { return m_name; }  // may be null
  const char* className() const override { return "CLPlacemark"; }
  bool isEqual(const fnd::Object& other) const override;

 private:
  Placemark(fnd::Ref<Location> location, fnd::Ref<fnd::String> name)
      : m_location(std::move(location)), m_name(std::move(name)) {}
  fnd::Ref<Location> m_location;
  fnd::Ref<fnd::String> m_name;
};

class Geocoder {
 public:
  using Completion = std::function<void(std::vector<fnd::Ref<Placemark>> placemarks, std::optional<fnd::Error> error)>;
  virtual ~Geocoder() = default;
  // Looks the address up; `completion` runs once, later, on the main thread.
  virtual void geocodeAddressDictionary(fnd::Ref<fnd::Dictionary> address, Completion completion) = 0;
};

using GeocoderFactory = std::function<std::shared_ptr<Geocoder>()>;
// Installs (or, with an empty function, removes) the source of geocoders.
void setGeocoderFactory(GeocoderFactory factory);
bool isGeocodingAvailable();
// A new geocoder, or null when none is installed.
std::shared_ptr<Geocoder> createGeocoder();

}  // namespace geo
