// The sound library starts here; its modules follow.
namespace orbel {}
