#pragma once
// Namespace URIs of the service and of the standards its messages use.
#include <string_view>

namespace vokr::schema::ns {

// Every cadastre namespace and SOAP action URI starts with this host.
inline constexpr std::string_view host = "http://katastr.cuzk.cz";

inline constexpr std::string_view service = "http://katastr.cuzk.cz/geows/v2.9";
inline constexpr std::string_view types = "http://katastr.cuzk.cz/geows/types/v2.9";
inline constexpr std::string_view baseTypes = "http://katastr.cuzk.cz/baseTypes/v2.9";
inline constexpr std::string_view commonTypes = "http://katastr.cuzk.cz/commonTypes/v2.9";
// Three m's: the service spells it so.
inline constexpr std::string_view geoCommonTypes = "http://katastr.cuzk.cz/geoCommmonTypes/v2.9";

inline constexpr std::string_view soapEnv = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::string_view xsd = "http://www.w3.org/2001/XMLSchema";
inline constexpr std::string_view xsi = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr std::string_view gml = "http://www.opengis.net/gml/3.2";
inline constexpr std::string_view gmd = "http://www.isotc211.org/2005/gmd";
inline constexpr std::string_view gco = "http://www.isotc211.org/2005/gco";
inline constexpr std::string_view gss = "http://www.isotc211.org/2005/gss";
inline constexpr std::string_view gts = "http://www.isotc211.org/2005/gts";
inline constexpr std::string_view gsr = "http://www.isotc211.org/2005/gsr";
inline constexpr std::string_view xlink = "http://www.w3.org/1999/xlink";
inline constexpr std::string_view secext =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd";
inline constexpr std::string_view xop = "http://www.w3.org/2004/08/xop/include";

} // namespace vokr::schema::ns
