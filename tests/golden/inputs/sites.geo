* three sites
Frankfurt, Main;8,68;50,11;1
Tab	here "quoted";-3,5;-12,25;-2
Reykjavík;-21,9;64,15;0
