"""cadastre-sim: a local simulator of the cadastre geometric-plan web service."""
